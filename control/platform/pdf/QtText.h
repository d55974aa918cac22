#pragma once

#include "PdfFonts.h"

#include <QFont>
#include <QPointF>
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

// A text item's glyphs, placed as Qt places them, each with the characters it stands for.
struct ShapedItem {
    EngineFont font;
    bool fallbackFonts = false; // several fonts in one item: drawn as outlines
    struct Glyph {
        uint32_t glyph;
        double x, y;
        QStringView text;
    };
    std::vector<Glyph> glyphs;
    const QChar* begin = nullptr; // the characters of the whole item, for holding pieces
    const QChar* end = nullptr;
};

// Nothing when the item has no font or no glyphs.
std::optional<ShapedItem> shapedItem(const QPointF& origin, const QTextItem& item);

// The primary font Qt chose for `font` to draw the script of `text` with.
std::optional<EngineFont> primaryFont(const QFont& font, QStringView text);

// What the glyphs of one cluster copy back as: its characters go to its first glyph, unless the
// cluster has one glyph for each character (a letter and its points).
template <class Assign> void assignCluster(int glyphs, QStringView characters, Assign&& assign) {
    const bool oneEach = glyphs == characters.size() && glyphs > 1;
    for (int k = 0; k < glyphs; ++k)
        assign(k, oneEach ? characters.mid(k, 1) : k == 0 ? characters : QStringView());
}

} // namespace palvex::pdf
