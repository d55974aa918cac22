#pragma once

#include "PdfFonts.h"

#include <QFont>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class QTextItem;

namespace palvex::pdf {

// What the PDF device reads of Qt's text engine, whose types are private to Qt: the glyphs Qt
// shaped for a text item and where it placed them, and the font Qt draws a script with. This
// is the one place those types are used.

// A font as the text engine sizes and styles it.
struct EngineFont {
    FontSource source;
    double pixelSize = 0;
    bool syntheticBold = false, syntheticItalic = false;
};

// A text item's glyphs, placed as Qt places them, each with the characters it stands for, in
// runs of one font each: an item whose characters Qt took from fallback fonts has a run for each
// font, and a glyph the font lacks (its .notdef, which a PDF may not show) is a run of its own.
struct ShapedRun {
    EngineFont font;
    bool missing = false;     // glyphs no font has: drawn as the outline the preview shows
    bool rightToLeft = false; // glyphs in the order of the characters, from the right
    struct Glyph {
        uint32_t glyph;
        double x, y;
        double advance; // as Qt spaced it
        QStringView text;
    };
    std::vector<Glyph> glyphs;
    const QChar* begin = nullptr; // the run's characters, for holding pieces
    const QChar* end = nullptr;
    // Texts made of a cluster's characters that are not side by side; the first run keeps
    // those of all the item's runs.
    std::vector<QString> builtTexts;
};

// Nothing when the item has no font or no glyphs. The runs refer to Qt's engines, which live
// while the item is drawn.
std::optional<std::vector<ShapedRun>> shapedItem(const QPointF& origin, const QTextItem& item);

// The outline of a run's glyphs where they are placed, filled as Qt fills text: for a font that
// cannot be embedded, and for the box of a glyph no font has. Only while the item is drawn.
QPainterPath outlineOf(const ShapedRun& run);

// The primary font Qt chose for `font` to draw the script of `text` with.
std::optional<EngineFont> primaryFont(const QFont& font, QStringView text);

} // namespace palvex::pdf
