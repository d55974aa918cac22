#include "LineBreaker.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <vector>

namespace palvex {

namespace {

// Paragraphs up to this many characters are measured whole first. A longer one seldom fits its
// box, and measuring all of it to learn so would cost as much as breaking it.
constexpr qsizetype LongestMeasuredWhole = 1000;
// A stretch between two break opportunities longer than this (a word wider than any line) is
// measured in pieces of about this many characters, so that no line is measured far past its
// end.
constexpr qsizetype LongestPiece = 64;

// The length of a text without its trailing blanks.
qsizetype visibleLength(QStringView text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1].isSpace())
        --n;
    return n;
}

QString withoutTrailingBlanks(const QString& text) {
    const qsizetype n = visibleLength(text);
    return n == text.size() ? text : text.left(n); // shared, not copied, when nothing trails
}

// The break opportunities of one paragraph (no hard breaks inside), as positions.
std::vector<qsizetype> opportunities(const QString& paragraph,
                                     QTextBoundaryFinder::BoundaryType type) {
    std::vector<qsizetype> at;
    QTextBoundaryFinder finder(type, paragraph);
    for (qsizetype p = finder.toNextBoundary(); p > 0; p = finder.toNextBoundary())
        at.push_back(p);
    return at;
}

// Breaks one paragraph (no hard breaks inside) into lines, each as long as fits, in time linear
// in its length. The pieces between break opportunities are measured once each and their widths
// added up to find where a line ends; the line itself, measured there, has the last word, since
// a whole may be a little narrower or wider than its pieces (kerning, shaping, direction runs).
class ParagraphBreaker {
public:
    ParagraphBreaker(const QString& paragraph, float width,
                     const std::function<float(const QString&)>& measure)
        : m_paragraph(paragraph), m_width(width), m_measure(measure),
          m_breaks(opportunities(paragraph, QTextBoundaryFinder::Line)) {}

    void breakInto(std::vector<BrokenLine>& lines) {
        const qsizetype size = m_paragraph.size();
        qsizetype start = 0;
        while (start < size) {
            qsizetype limit = size + 1; // the nearest end known not to fit: none yet
            Fit fit = furthestFitting(m_breaks, start, limit);
            // A word wider than the line: as many of its characters as fit, at least one cluster.
            if (fit.end < 0) fit = furthestFitting(clusters(), start, limit);
            if (fit.end < 0) {
                const auto next = std::upper_bound(m_clusters.begin(), m_clusters.end(), start);
                fit.end = next != m_clusters.end() ? *next : size;
            }
            lines.push_back({lineText(start, fit.end), false, fit.width});
            start = fit.end;
            // The next line starts at its first visible character.
            while (start < size && m_paragraph[start] == u' ')
                ++start;
        }
    }

private:
    struct Fit {
        qsizetype end = -1;
        float width = -1;
    };

    // The line from `start` to `end` as it is printed: without its trailing blanks.
    QString lineText(qsizetype start, qsizetype end) const {
        const QStringView line = QStringView(m_paragraph).sliced(start, end - start);
        return line.first(visibleLength(line)).toString();
    }
    float lineWidth(qsizetype start, qsizetype end) const {
        return m_measure(lineText(start, end));
    }

    // The furthest of `stops` (ascending) before `limit` whose line from `start` fits, or none;
    // `limit` comes down to the nearest end found too wide. The widths grow with the end, so
    // every stop past one too wide is too wide as well.
    Fit furthestFitting(const std::vector<qsizetype>& stops, qsizetype start, qsizetype& limit) {
        const auto first = std::upper_bound(stops.begin(), stops.end(), start);
        auto next = first; // the stop the pieces measured so far lead to
        Fit measured;      // the last end whose line was measured whole and fits
        float sum = 0;     // the width from `start` to `pos`, its trailing blanks included
        bool over = false;
        for (qsizetype pos = start; !over && next != stops.end() && *next < limit;) {
            while (pos < *next) {
                const qsizetype end = pieceEnd(pos, *next);
                const QStringView piece = QStringView(m_paragraph).sliced(pos, end - pos);
                const qsizetype visible = visibleLength(piece);
                if (visible > 0) {
                    float width = sum + m_measure(piece.first(visible).toString());
                    if (width > m_width) {
                        // The pieces say the line ends before here; the line itself decides.
                        width = lineWidth(start, end);
                        if (width > m_width) {
                            limit = end;
                            over = true;
                            break;
                        }
                        measured = {end, width};
                    }
                    sum = width;
                }
                if (visible < piece.size()) sum += m_measure(piece.sliced(visible).toString());
                pos = end;
            }
            if (!over) ++next;
        }
        // The last stop the pieces let through, or an earlier one if its line is wider whole.
        while (next != first) {
            --next;
            const float width = *next == measured.end ? measured.width : lineWidth(start, *next);
            if (width <= m_width) return {*next, width};
            limit = *next;
        }
        return {};
    }

    // Where the piece measured from `from` on the way to the stop `stop` ends: the stop, or
    // for a long stretch the last cluster boundary within reach (the next, if none is).
    qsizetype pieceEnd(qsizetype from, qsizetype stop) {
        if (stop - from <= LongestPiece) return stop;
        const std::vector<qsizetype>& at = clusters();
        const auto beyond = std::upper_bound(at.begin(), at.end(), from + LongestPiece);
        if (beyond != at.begin() && *(beyond - 1) > from) return *(beyond - 1);
        return beyond != at.end() ? std::min(*beyond, stop) : stop;
    }

    // The grapheme cluster boundaries (the paragraph's end one of them), found the first time a
    // long word needs them.
    const std::vector<qsizetype>& clusters() {
        if (m_clusters.empty())
            m_clusters = opportunities(m_paragraph, QTextBoundaryFinder::Grapheme);
        return m_clusters;
    }

    const QString& m_paragraph;
    const float m_width;
    const std::function<float(const QString&)>& m_measure;
    const std::vector<qsizetype> m_breaks;
    std::vector<qsizetype> m_clusters;
};

// Breaks one paragraph into lines, each as long as fits.
void breakParagraph(const QString& paragraph, float width,
                    const std::function<float(const QString&)>& measure,
                    std::vector<BrokenLine>& lines) {
    if (visibleLength(paragraph) == 0) return; // blanks alone: the caller's empty line
    // Most paragraphs of a report (a table's cells above all) fit their box whole: one
    // measurement, no search for break opportunities.
    if (paragraph.size() <= LongestMeasuredWhole) {
        QString whole = withoutTrailingBlanks(paragraph);
        if (const float w = measure(whole); w <= width) {
            lines.push_back({std::move(whole), false, w});
            return;
        }
    }
    ParagraphBreaker(paragraph, width, measure).breakInto(lines);
}

} // namespace

std::vector<BrokenLine> breakLines(const QString& text, float width,
                                   const std::function<float(const QString&)>& measure) {
    std::vector<BrokenLine> lines;
    breakLines(text, width, measure, lines);
    return lines;
}

void breakLines(const QString& text, float width,
                const std::function<float(const QString&)>& measure,
                std::vector<BrokenLine>& lines) {
    lines.clear();
    auto addParagraph = [&](const QString& paragraph) {
        const size_t before = lines.size();
        breakParagraph(paragraph, width, measure, lines);
        if (lines.size() == before) lines.push_back({}); // an empty line of its own
        lines.back().lastOfParagraph = true;
    };
    // A table's cells and most paragraphs hold no hard break: no copy, no split.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        addParagraph(text);
        return;
    }
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragraph : normalised.split(QLatin1Char('\n')))
        addParagraph(paragraph);
}

QString justified(const QString& line, float width,
                  const std::function<float(const QString&)>& measure) {
    QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2) return line;
    const float blank = measure(QStringLiteral(" "));
    const float natural = measure(words.join(QLatin1Char(' ')));
    if (blank <= 0 || natural >= width) return line;
    const qsizetype gaps = words.size() - 1;
    const qsizetype extra = qsizetype((width - natural) / blank);
    QString out = words.first();
    for (qsizetype g = 0; g < gaps; ++g)
        out +=
            QString(1 + extra / gaps + (g < extra % gaps ? 1 : 0), QLatin1Char(' ')) + words[g + 1];
    // The blanks' widths add up only nearly: never past the width.
    while (measure(out) > width && out.contains(QStringLiteral("  ")))
        out.replace(out.lastIndexOf(QStringLiteral("  ")), 2, QStringLiteral(" "));
    return out;
}

} // namespace palvex
