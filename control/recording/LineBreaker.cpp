#include "LineBreaker.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <vector>

namespace palvex {

namespace {

QString withoutTrailingBlanks(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1].isSpace())
        --n;
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

// Breaks one paragraph into lines, each as long as fits.
void breakParagraph(const QString& paragraph, float width,
                    const std::function<float(const QString&)>& measure,
                    std::vector<BrokenLine>& lines) {
    // Most paragraphs of a report (a table's cells above all) fit their box whole: one
    // measurement, no search for break opportunities.
    QString whole = withoutTrailingBlanks(paragraph);
    if (whole.isEmpty()) return; // blanks alone: the caller's empty line
    if (const float w = measure(whole); w <= width) {
        lines.push_back({std::move(whole), false, w});
        return;
    }
    const std::vector<qsizetype> breaks = opportunities(paragraph, QTextBoundaryFinder::Line);
    const std::vector<qsizetype> clusters = opportunities(paragraph, QTextBoundaryFinder::Grapheme);
    qsizetype start = 0;
    while (start < paragraph.size()) {
        // The furthest break opportunity whose line fits: the widths grow with the end, so the
        // search halves the candidates.
        auto fits = [&](qsizetype end) {
            return measure(withoutTrailingBlanks(paragraph.mid(start, end - start))) <= width;
        };
        auto furthest = [&](const std::vector<qsizetype>& at) -> qsizetype {
            auto lo = std::upper_bound(at.begin(), at.end(), start);
            auto hi = at.end();
            qsizetype best = -1;
            while (lo < hi) {
                auto mid = lo + (hi - lo) / 2;
                if (fits(*mid)) {
                    best = *mid;
                    lo = mid + 1;
                } else {
                    hi = mid;
                }
            }
            return best;
        };
        qsizetype end = furthest(breaks);
        // A word wider than the line: as many of its characters as fit, at least one cluster.
        if (end < 0) {
            end = furthest(clusters);
            if (end < 0) {
                const auto next = std::upper_bound(clusters.begin(), clusters.end(), start);
                end = next != clusters.end() ? *next : paragraph.size();
            }
        }
        lines.push_back({withoutTrailingBlanks(paragraph.mid(start, end - start)), false});
        start = end;
        // The next line starts at its first visible character.
        while (start < paragraph.size() && paragraph[start] == u' ')
            ++start;
    }
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
