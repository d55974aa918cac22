#include "CellValue.h"

#include <QDate>
#include <QRegularExpression>

namespace palvex {

namespace {

// Marks that hosts put around numbers so that they run left to right inside Hebrew text: they
// are not part of the value.
bool isDirectionMark(char16_t c) {
    return c == 0x200E || c == 0x200F || c == 0x061C || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x202F;
}

bool isCurrency(char16_t c) {
    return c == u'₪' || c == u'$' || c == u'€' || c == u'£';
}

bool isMinus(char16_t c) {
    return c == u'-' || c == 0x2212;
}

// The text without direction marks and without blanks at its ends.
QString bare(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!isDirectionMark(c.unicode())) out += c;
    qsizetype first = 0, last = out.size();
    while (first < last && isBlank(out[first].unicode()))
        ++first;
    while (last > first && isBlank(out[last - 1].unicode()))
        --last;
    return out.mid(first, last - first);
}

// A currency sign at one end of `s`, with the blanks between it and the rest; taken off `s`.
// Returns the sign as the number format quotes it ("\"₪ \"") or an empty text.
QString takeCurrency(QString& s, bool atStart) {
    if (s.isEmpty()) return {};
    const qsizetype at = atStart ? 0 : s.size() - 1;
    if (!isCurrency(s[at].unicode())) return {};
    const QChar sign = s[at];
    s.remove(at, 1);
    bool spaced = false;
    while (!s.isEmpty() && isBlank((atStart ? s.front() : s.back()).unicode())) {
        spaced = true;
        if (atStart)
            s.remove(0, 1);
        else
            s.chop(1);
    }
    const QString blank = spaced ? QStringLiteral(" ") : QString();
    return QLatin1Char('"') + (atStart ? sign + blank : blank + sign) + QLatin1Char('"');
}

// Western digits only: other scripts' digits are text to a spreadsheet.
bool allDigits(QStringView s) {
    for (QChar c : s)
        if (c.unicode() < u'0' || c.unicode() > u'9') return false;
    return !s.isEmpty();
}

// Digits in groups of three after the first (1 to 3), or digits without grouping.
bool isWholePart(QStringView s, bool& grouped) {
    grouped = s.contains(u',');
    if (!grouped) return allDigits(s);
    const QList<QStringView> groups = s.split(u',');
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QStringView g = groups[i];
        if (!allDigits(g) || (i == 0 ? g.size() > 3 : g.size() != 3)) return false;
    }
    return true;
}

bool readAmount(const QString& shown, CellValue& cell) {
    QString s = shown;
    QString prefix = takeCurrency(s, true);
    QString suffix = prefix.isEmpty() ? takeCurrency(s, false) : QString();
    bool leadingMinus = false, trailingMinus = false;
    if (!s.isEmpty() && isMinus(s.front().unicode())) {
        leadingMinus = true;
        s.remove(0, 1);
    }
    if (!s.isEmpty() && isMinus(s.back().unicode())) {
        trailingMinus = true;
        s.chop(1);
    }
    if (leadingMinus && trailingMinus) return false;
    // "-₪ 5.00": the minus outside the sign.
    if (leadingMinus && prefix.isEmpty() && suffix.isEmpty()) prefix = takeCurrency(s, true);
    const qsizetype point = s.indexOf(u'.');
    const QStringView whole = QStringView(s).left(point < 0 ? s.size() : point);
    const QStringView fraction = point < 0 ? QStringView() : QStringView(s).mid(point + 1);
    bool grouped = false;
    if (!isWholePart(whole, grouped)) return false;
    if (point >= 0 && !allDigits(fraction)) return false;
    const bool marked = grouped || point >= 0 || leadingMinus || trailingMinus ||
                        !prefix.isEmpty() || !suffix.isEmpty();
    if (!marked) return false;
    QString digits = whole.toString().remove(u',') + fraction.toString();
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    if (digits.size() > 15) return false; // a double would change it
    QString number = whole.toString().remove(u',');
    if (point >= 0) number += QLatin1Char('.') + fraction.toString();
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok) return false;
    QString format = grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (!fraction.isEmpty()) format += QLatin1Char('.') + QString(fraction.size(), u'0');
    format = prefix + format + suffix;
    if (trailingMinus) format += QLatin1Char(';') + format + QLatin1Char('-');
    cell.kind = CellValue::Kind::Amount;
    cell.amount = (leadingMinus || trailingMinus) && value != 0 ? -value : value;
    cell.numberFormat = format;
    return true;
}

bool readDate(const QString& s, CellValue& cell) {
    static const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})([/.])(\\d{1,2})\\2(\\d{4})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    int y = 0, m = 0, d = 0;
    if (const QRegularExpressionMatch match = dayFirst.match(s); match.hasMatch()) {
        d = match.captured(1).toInt();
        m = match.captured(3).toInt();
        y = match.captured(4).toInt();
    } else if (const QRegularExpressionMatch isoMatch = iso.match(s); isoMatch.hasMatch()) {
        y = isoMatch.captured(1).toInt();
        m = isoMatch.captured(2).toInt();
        d = isoMatch.captured(3).toInt();
    } else {
        return false;
    }
    // A spreadsheet's dates begin in 1900.
    if (y < 1900 || !QDate::isValid(y, m, d)) return false;
    cell.kind = CellValue::Kind::Date;
    cell.year = y;
    cell.month = m;
    cell.day = d;
    return true;
}

} // namespace

CellValue CellValue::of(const QString& text) {
    CellValue cell;
    cell.text = text;
    const QString s = bare(text);
    if (s.isEmpty()) return cell;
    if (!readDate(s, cell)) readAmount(s, cell);
    return cell;
}

namespace {

// Digits alone that a number keeps as they are: no leading zero, no more than a double holds.
bool isPlainWholeNumber(const QString& text) {
    const QString s = bare(text);
    return !s.isEmpty() && s.size() <= 15 && allDigits(s) && (s.size() == 1 || s.front() != u'0');
}

// The format with its thousands grouped: "0.00" becomes "#,##0.00", in each section.
QString grouped(const QString& format) {
    QStringList sections = format.split(QLatin1Char(';'));
    for (QString& section : sections) {
        if (section.contains(QLatin1Char('#'))) continue;
        bool quoted = false;
        for (qsizetype i = 0; i < section.size(); ++i) {
            if (section[i] == u'"') quoted = !quoted;
            if (!quoted && section[i] == u'0') {
                section.insert(i, QStringLiteral("#,##"));
                break;
            }
        }
    }
    return sections.join(QLatin1Char(';'));
}

} // namespace

void ColumnReading::see(const CellValue& cell) {
    if (cell.kind == CellValue::Kind::Amount) {
        m_anyGrouped = m_anyGrouped || cell.numberFormat.contains(QLatin1Char('#'));
        m_anyTrailingMinus = m_anyTrailingMinus || cell.numberFormat.contains(QLatin1Char(';'));
    } else if (isPlainWholeNumber(cell.text)) {
        m_anyPlain = true;
    } else if (!bare(cell.text).isEmpty()) {
        m_allNumbers = false;
    }
}

void ColumnReading::settle(CellValue& cell) const {
    if (m_anyPlain && m_allNumbers && cell.kind == CellValue::Kind::Text &&
        isPlainWholeNumber(cell.text)) {
        cell.kind = CellValue::Kind::Amount;
        cell.amount = bare(cell.text).toDouble();
        cell.numberFormat = QStringLiteral("0");
    }
    if (cell.kind != CellValue::Kind::Amount) return;
    if (m_anyGrouped) cell.numberFormat = grouped(cell.numberFormat);
    // A column that shows what is owed with a trailing minus shows it so in every cell.
    if (m_anyTrailingMinus && !cell.numberFormat.contains(QLatin1Char(';')))
        cell.numberFormat += QLatin1Char(';') + cell.numberFormat + QLatin1Char('-');
}

} // namespace palvex
