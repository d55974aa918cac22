#pragma once

#include "PdfFonts.h"

#include <QFont>
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

// A text item's glyphs, placed as Qt places them, each with the characters it stands for.
struct ShapedItem {
    EngineFont font;
    bool fallbackFonts = false; // several fonts in one item: drawn as outlines
    bool rightToLeft = false;   // glyphs in the order of the characters, from the right
    struct Glyph {
        uint32_t glyph;
        double x, y;
        QStringView text;
    };
    std::vector<Glyph> glyphs;
    const QChar* begin = nullptr; // the characters of the whole item, for holding pieces
    const QChar* end = nullptr;
    std::vector<QString> builtTexts; // texts made of a cluster's characters not side by side
};

// Nothing when the item has no font or no glyphs.
std::optional<ShapedItem> shapedItem(const QPointF& origin, const QTextItem& item);

// The primary font Qt chose for `font` to draw the script of `text` with.
std::optional<EngineFont> primaryFont(const QFont& font, QStringView text);

} // namespace palvex::pdf
