#include "PrintoutWriter.h"

#include "core/CodePage.h"
#include "core/FixedField.h"
#include "core/NumberText.h"
#include "recording/ItemWriter.h"
#include "recording/PageTokens.h"
#include "recording/PrintItem.h"
#include "recording/ReportStore.h"
#include "recording/ShapeParams.h"

#include <QIODevice>

namespace palvex {

namespace {

QChar digitOr0(int32_t value) {
    return value >= 0 && value <= 9 ? QChar(u'0' + value) : QLatin1Char('0');
}

} // namespace

QString blankLineBreaks(QString text) {
    for (QChar& c : text)
        if (c == u'\r' || c == u'\n' || c == u'\0') c = QLatin1Char(' ');
    return text;
}

PrintoutWriter::PrintoutWriter(QIODevice& out, const CodePage& codePage, PrintoutScale scale)
    : m_out(out), m_codePage(codePage), m_scale(scale) {}

bool PrintoutWriter::write(const PrintItem& item) {
    if (item.NoCentering == 1) return !m_failed; // pictures, footers, page numbers stay out
    propertyLines(item);
    itemLine(item);
    return !m_failed;
}

void PrintoutWriter::propertyLines(const PrintItem& item) {
    const float zoom = m_scale.zoomFactor;
    line(QStringLiteral("21") + digitOr0(item.HAlign) + formatSingle(item.ItemX * zoom));

    // Positions kept from the page-number line are written where they are drawn.
    const float top = item.YRelative == 1 ? m_scale.currentYofPageNumber - item.ItemY : item.ItemY;
    const float y = top * zoom;
    if (y != m_y) {
        line(QStringLiteral("22") + formatSingle(y));
        m_y = y;
    }
    const QString fontName = blankLineBreaks(trimBlanks(item.FontName));
    if (fontName != m_fontName) {
        line(QStringLiteral("23") + fontName);
        m_fontName = fontName;
    }
    const float size = item.FontSize * zoom;
    if (size != m_fontSize) {
        line(QStringLiteral("24") + formatSingle(size));
        m_fontSize = size;
    }
    booleanLine("25", item.FontBold != 0, m_bold);
    booleanLine("26", item.FontUnderline != 0, m_underline);
    booleanLine("27", item.FontItalic != 0, m_italic);
    if (item.ForeColor != m_color) {
        line(QStringLiteral("28") + QString::number(item.ForeColor));
        m_color = item.ForeColor;
    }
    booleanLine("29", item.FontStrikethru != 0, m_strikethru);
}

void PrintoutWriter::booleanLine(const char* code, bool value, std::optional<bool>& last) {
    if (last == value) return;
    line(QLatin1String(code) + (value ? QLatin1Char('t') : QLatin1Char('f')));
    last = value;
}

void PrintoutWriter::itemLine(const PrintItem& item) {
    const float zoom = m_scale.zoomFactor;
    switch (item.ItemKind) {
    case KindText:
    case KindTextNewLine:
        line((item.ItemKind == KindText ? QStringLiteral("1 ") : QStringLiteral("2 ")) +
             blankLineBreaks(withPageCountKept(item.ItemText, m_scale.pageCount)));
        break;
    case KindSpecialCenter:
    case KindSpecialCenterNewLine: {
        const SpecialCenterParams p = SpecialCenterParams::decode(item.ItemText);
        const float xZoom = m_scale.zoomCurrentX ? zoom : 1.0f;
        // Vertical positions are scaled once, like the item's own y.
        const QString columns = FitRight(blankLineBreaks(item.ItemText.left(100)), 100) +
                                FitRight(formatSingle(p.x1 * xZoom), 10) +
                                FitRight(formatSingle(p.x2 * xZoom), 10) +
                                FitRight(formatSingle(p.y1 * zoom), 10) +
                                FitRight(formatSingle(p.y2 * zoom), 10) + digitOr0(m_runDirection);
        line((item.ItemKind == KindSpecialCenter ? QStringLiteral("3 ") : QStringLiteral("4 ")) +
             columns);
        break;
    }
    case KindChars: {
        const RunParams run = RunParams::decode(item.ItemText);
        m_runDirection = run.direction;
        line(QStringLiteral("13") + blankLineBreaks(QString(run.character)) +
             digitOr0(run.direction) + QString(8, QLatin1Char(' ')) +
             FitRight(formatSingle(run.start), 5) + FitRight(formatSingle(run.end), 5));
        break;
    }
    default:
        break; // pictures, shapes and runs to the next line: their property lines only
    }
}

void PrintoutWriter::line(const QString& text) {
    if (m_failed) return;
    QByteArray bytes = m_codePage.encode(trimTrailingBlanks(text));
    bytes.append("\r\n", 2);
    if (m_out.write(bytes) != bytes.size()) m_failed = true;
}

bool writePrintout(const ReportStore& store, const CodePage& codePage, PrintoutScale scale,
                   QIODevice& out) {
    // A UTF-8 printout says so in its first bytes, so that a reader tells it from the older
    // single-byte ones, which have no such mark.
    if (codePage.isUtf8() && out.write(Utf8Mark, 3) != 3) return false;
    PrintoutWriter writer(out, codePage, scale);
    bool ok = true;
    store.scanFile([&](int32_t, const StoredItem& item) {
        ok = writer.write(item.decode(codePage));
        return ok;
    });
    return ok;
}

} // namespace palvex
