#include "ScriptParser.h"

#include "core/NumberText.h"

#include <cmath>
#include <limits>

namespace palvex::script {

namespace {

bool isIdentifierStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isIdentifierChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The line without its comment ('#' outside a string starts one).
QStringView stripComment(QStringView text) {
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('"'))
            inString = !inString;
        else if (text[i] == QLatin1Char('#') && !inString)
            return text.left(i);
    }
    return text;
}

// Splits on `separator` outside strings; an unterminated string is an error. The parts are views
// into `text`.
std::vector<QStringView> splitOutsideStrings(QStringView text, QChar separator, int line,
                                             bool skipEmpty) {
    std::vector<QStringView> parts;
    bool inString = false;
    qsizetype start = 0;
    auto add = [&](qsizetype end) {
        const QStringView part = text.sliced(start, end - start);
        if (!(skipEmpty && part.trimmed().isEmpty())) parts.push_back(part);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"')) inString = !inString;
        if (c == separator && !inString) {
            add(i);
            start = i + 1;
        }
    }
    if (inString) throw ParseError{line, QStringLiteral("unterminated string")};
    add(text.size());
    return parts;
}

QString unquote(QStringView word) {
    if (word.size() >= 2 && word.startsWith(QLatin1Char('"')) && word.endsWith(QLatin1Char('"'))) {
        QString inner = word.sliced(1, word.size() - 2).toString();
        if (inner.contains(QLatin1Char('"')))
            inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        return inner;
    }
    return word.toString();
}

// The common literal read without a detour through text conversions: an optional minus and up
// to nine digits, always within 32 bits.
std::optional<int32_t> smallInteger(QStringView text) {
    const qsizetype sign = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == sign || text.size() - sign > 9) return std::nullopt;
    int32_t value = 0;
    for (qsizetype i = sign; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return sign ? -value : value;
}

// An index word of a window action: decimal digits only, within [0, max]. "4.0" or "4x" would
// read as no index at all, and the action would then pick whichever control came first.
void checkIndex(const QStringList& words, qsizetype at, int max, const char* what, int line) {
    if (words.size() <= at) return;
    const QString& word = words[at];
    bool ok = !word.isEmpty();
    for (QChar c : word)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int value = ok ? word.toInt(&ok) : 0;
    if (!ok || value > max)
        throw ParseError{line, QStringLiteral("%1 is not a whole number from 0 to %2: %3")
                                   .arg(QLatin1String(what))
                                   .arg(max)
                                   .arg(word)};
}

// The index words of the actions that take them.
void checkActionIndexes(const Statement& st) {
    constexpr int maxInt = std::numeric_limits<int>::max();
    if (st.name == QLatin1String("click")) {
        checkIndex(st.words, 1, std::numeric_limits<int16_t>::max(), "index", st.line);
    } else if (st.name == QLatin1String("select")) {
        checkIndex(st.words, 1, maxInt, "entry", st.line);
    } else if (st.name == QLatin1String("key")) {
        checkIndex(st.words, 0, maxInt, "key code", st.line);
        checkIndex(st.words, 1, 7, "shift state", st.line);
    } else if (st.name == QLatin1String("keypress")) {
        checkIndex(st.words, 0, 0xFFFF, "character code", st.line);
    }
}

// The characters a line of script cannot hold, by name: cells of a table row are separated by
// tabs, rows of TableRows by the record separator, and a paragraph breaks at a line end.
std::optional<QString> namedCharacters(QStringView word) {
    static const struct {
        QLatin1StringView name;
        const char16_t* text;
    } names[] = {{QLatin1StringView("Tab"), u"\t"},
                 {QLatin1StringView("Cr"), u"\r"},
                 {QLatin1StringView("Lf"), u"\n"},
                 {QLatin1StringView("CrLf"), u"\r\n"},
                 {QLatin1StringView("RowSeparator"), u"\x1e"}};
    for (const auto& n : names)
        if (word.compare(n.name, Qt::CaseInsensitive) == 0) return QString::fromUtf16(n.text);
    return std::nullopt;
}

bool startsAString(QStringView text) {
    if (text.startsWith(QLatin1Char('"'))) return true;
    qsizetype i = 0;
    while (i < text.size() && isIdentifierChar(text[i]))
        ++i;
    return i > 0 && namedCharacters(text.left(i)).has_value();
}

// "a" & Tab & "b": strings and named characters joined.
QString joinedString(const std::vector<QStringView>& pieces, int line) {
    QString joined;
    for (const QStringView piece : pieces) {
        const QStringView word = piece.trimmed();
        if (const std::optional<QString> named = namedCharacters(word)) {
            joined += *named;
            continue;
        }
        const Variant value = word.startsWith(QLatin1Char('"')) ? parseLiteral(word, line)
                                                                : Variant::missing();
        if (value.isMissing())
            throw ParseError{line, QStringLiteral("not a string to join: ") + word.toString()};
        joined += value.toString();
    }
    return joined;
}

} // namespace

Variant parseLiteral(QStringView raw, int line) {
    const QStringView text = raw.trimmed();
    if (text.isEmpty()) return Variant::missing();
    if (startsAString(text)) {
        const std::vector<QStringView> pieces =
            splitOutsideStrings(text, QLatin1Char('&'), line, false);
        if (pieces.size() > 1 || !text.startsWith(QLatin1Char('"')))
            return joinedString(pieces, line);
    }
    if (text.startsWith(QLatin1Char('"'))) {
        if (text.size() < 2 || !text.endsWith(QLatin1Char('"')))
            throw ParseError{line, QStringLiteral("unterminated string")};
        const QStringView inner = text.sliced(1, text.size() - 2);
        // Inside, every quote must be doubled.
        for (qsizetype i = 0; i < inner.size(); ++i)
            if (inner[i] == QLatin1Char('"')) {
                if (i + 1 >= inner.size() || inner[i + 1] != QLatin1Char('"'))
                    throw ParseError{line, QStringLiteral("stray quote in string")};
                ++i;
            }
        return unquote(text);
    }
    if (const std::optional<int32_t> small = smallInteger(text)) return *small;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    const auto number = parseStrictNumber(text.toString());
    if (!number) throw ParseError{line, QStringLiteral("not a literal: ") + text.toString()};
    const bool integral = !text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')) &&
                          !text.contains(QLatin1Char('E'));
    if ((integral || text.startsWith(QLatin1Char('&'))) &&
        std::fabs(*number) <= std::numeric_limits<int32_t>::max())
        return int32_t(*number);
    return *number;
}

Statement parseLine(const QString& rawLine, int line) {
    Statement st;
    st.line = line;
    const QStringView text = stripComment(rawLine).trimmed();
    if (text.isEmpty()) return st;

    if (text.startsWith(QLatin1Char('!'))) {
        st.kind = Statement::Kind::Action;
        const std::vector<QStringView> words =
            splitOutsideStrings(text.sliced(1), QLatin1Char(' '), line, true);
        if (words.empty()) throw ParseError{line, QStringLiteral("missing action name")};
        st.name = words.front().trimmed().toString();
        for (size_t i = 1; i < words.size(); ++i)
            st.words << unquote(words[i].trimmed());
        checkActionIndexes(st);
        return st;
    }

    QStringView rest = text;
    if (rest.startsWith(QLatin1Char('?'))) {
        st.kind = Statement::Kind::Query;
        rest = rest.sliced(1).trimmed();
    } else {
        st.kind = Statement::Kind::Call;
    }
    qsizetype i = 0;
    if (rest.isEmpty() || !isIdentifierStart(rest[0]))
        throw ParseError{line, QStringLiteral("expected a member name")};
    while (i < rest.size() && isIdentifierChar(rest[i]))
        ++i;
    st.name = rest.left(i).toString();
    rest = rest.sliced(i).trimmed();

    if (st.kind == Statement::Kind::Call && rest.startsWith(QLatin1Char('='))) {
        st.kind = Statement::Kind::Set;
        st.args.push_back(parseLiteral(rest.sliced(1), line));
        if (st.args.back().isMissing()) throw ParseError{line, QStringLiteral("missing value")};
        return st;
    }
    if (!rest.isEmpty())
        for (const QStringView part : splitOutsideStrings(rest, QLatin1Char(','), line, false))
            st.args.push_back(parseLiteral(part, line));
    // Trailing omitted arguments are simply not passed.
    while (!st.args.empty() && st.args.back().isMissing())
        st.args.pop_back();
    return st;
}

} // namespace palvex::script
