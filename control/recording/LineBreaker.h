#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace palvex {

// One line of a wrapped text, and whether a hard break (a line feed) or the text's end ends it:
// a justified paragraph leaves those lines as they are. `width` is the line's measured width
// when the breaker knows it, else negative.
struct BrokenLine {
    QString text;
    bool lastOfParagraph = false;
    float width = -1;
};

// Wraps text into lines no wider than a width, as measured by the caller (the recording
// surface, in the report's stored form). Lines break at the Unicode line-break opportunities
// (UAX #14, as Qt's boundary finder gives them); a word wider than the line is broken between
// characters (grapheme clusters, never inside one); CR LF, CR or LF is a hard break. Blanks at
// the end of a line are dropped, and an empty text is one empty line.
std::vector<BrokenLine> breakLines(const QString& text, float width,
                                   const std::function<float(const QString&)>& measure);
// The same into `lines` (cleared first), whose storage a caller breaking many texts reuses.
void breakLines(const QString& text, float width,
                const std::function<float(const QString&)>& measure,
                std::vector<BrokenLine>& lines);

// A line stretched to `width` by more blanks between its words, spread from the right (where a
// right-to-left line begins); within one blank's width of it, since the line stays one text.
QString justified(const QString& line, float width,
                  const std::function<float(const QString&)>& measure);

} // namespace palvex
