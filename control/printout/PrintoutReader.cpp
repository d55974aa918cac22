#include "PrintoutReader.h"

#include "core/CodePage.h"
#include "core/FixedField.h"
#include "core/NumberText.h"
#include "printout/PrintoutWriter.h"
#include "recording/PrintItem.h"

#include <QIODevice>

#include <cmath>
#include <limits>

namespace palvex {

namespace {

// Longer lines are cut here: a text of any length a report holds is far shorter, and a file
// without line ends must not be held whole.
constexpr qsizetype MaxLineBytes = 1024 * 1024;

// The value of a one-character field: its digit, 0 for anything else.
int32_t digitValue(QStringView line, qsizetype index) {
    if (index >= line.size()) return 0;
    const QChar c = line[index];
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : 0;
}

// Columns from..from+width-1 (from 0), with the columns a short line lacks read as blanks.
QString columns(const QString& line, qsizetype from, qsizetype width) {
    return padRight(line.mid(from, width), width);
}

} // namespace

const CodePage& printoutCodePage(QIODevice& in) {
    if (in.peek(3) == QByteArrayView(Utf8Mark, 3)) {
        char mark[3];
        in.read(mark, 3);
        return CodePage::forNumber(CodePage::Utf8);
    }
    return CodePage::system();
}

PrintoutReader::PrintoutReader(QIODevice& in, PrintoutSink& sink, const CodePage& codePage)
    : m_in(in), m_sink(sink), m_codePage(codePage) {}

bool PrintoutReader::read() {
    QByteArray current;
    bool afterCr = false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = m_in.read(buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) break;
        for (qint64 i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c == '\n' && afterCr) {
                afterCr = false; // the LF of a CR LF pair
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                if (!line(m_codePage.decode(current))) return false;
                current.clear();
            } else if (current.size() < MaxLineBytes) {
                current.append(c);
            }
        }
    }
    return current.isEmpty() || line(m_codePage.decode(current));
}

std::optional<float> PrintoutReader::number(QStringView field) {
    const LeadingNumber n = parseLeadingNumber(field);
    if (n.overflow || !std::isfinite(n.value) ||
        std::fabs(n.value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(n.value);
}

float PrintoutReader::shifted(float y) {
    return y + m_offset;
}

bool PrintoutReader::line(const QString& text) {
    const QStringView code = QStringView(text).left(2);
    const QStringView rest = QStringView(text).mid(2);
    auto ok = [](Status s) { return s == Status::Ok; };

    if (code == u"93") return ok(m_sink.jumpToNextLine());
    if (code == u"21") {
        const auto x = number(rest.mid(1));
        if (!x) return false;
        m_align = int16_t(digitValue(text, 2));
        return ok(m_sink.setCurrentX(*x));
    }
    if (code == u"22") {
        const auto y = number(rest);
        if (!y) return false;
        if (!m_offsetKnown) {
            // The saved report continues below where the current one stands, never above.
            m_offset = std::max(0.0f, m_sink.currentY() - *y);
            m_offsetKnown = true;
        }
        return ok(m_sink.setCurrentY(shifted(*y)));
    }
    if (code == u"23") return ok(m_sink.setFontName(rest.toString()));
    if (code == u"24" || code == u"28") {
        const auto value = number(rest);
        if (!value) return false;
        if (code == u"24") return ok(m_sink.setFontSize(*value));
        if (*value < float(std::numeric_limits<int32_t>::min()) ||
            *value >= float(std::numeric_limits<int32_t>::max()))
            return false;
        return ok(m_sink.setForeColor(int32_t(std::lround(*value))));
    }
    if (code == u"25" || code == u"26" || code == u"27" || code == u"29") {
        const bool on = text.endsWith(QLatin1Char('t'));
        if (code == u"25") return ok(m_sink.setFontBold(on));
        if (code == u"26") return ok(m_sink.setFontUnderline(on));
        if (code == u"27") return ok(m_sink.setFontItalic(on));
        return ok(m_sink.setFontStrikethru(on));
    }
    if (code == u"1 " || code == u"2 ")
        return ok(m_sink.recordText(code == u"1 " ? KindText : KindTextNewLine, m_align,
                                    rest.toString()));
    if (code == u"3 " || code == u"4 ") {
        QString numbers = columns(text, 102, 40);
        if (m_offset != 0) {
            // Centred text carries its own vertical points; they move with the rest of the file.
            for (qsizetype field : {20, 30}) {
                const auto y = number(QStringView(numbers).mid(field, 10));
                if (!y) return false;
                if (*y != 0) numbers.replace(field, 10, FitRight(formatSingle(shifted(*y)), 10));
            }
        }
        m_align = 0;
        return ok(
            m_sink.recordSpecialCenter(code == u"3 " ? KindSpecialCenter : KindSpecialCenterNewLine,
                                       columns(text, 2, 100), numbers, digitValue(text, 142)));
    }
    if (code == u"13") {
        const auto start = number(columns(text, 12, 5));
        const auto end = number(columns(text, 17, 5));
        if (!start || !end) return false;
        return ok(m_sink.recordRun(columns(text, 2, 1).at(0), digitValue(text, 3), *start, *end));
    }
    return true; // not a line code
}

} // namespace palvex
