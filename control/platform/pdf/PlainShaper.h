#pragma once

#include "platform/AmountCharacters.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

struct hb_buffer_t;
struct hb_font_t;

namespace palvex::pdf {

class PdfFonts;

// Shapes texts of one direction (see PlainText.h) with HarfBuzz as Qt shapes a run, without
// Qt's layout: reports repeat their names and codes, and most of their other texts are numbers,
// which a font that neither joins nor kerns their characters sets glyph by glyph.
class PlainShaper {
public:
    explicit PlainShaper(PdfFonts& fonts) : m_fonts(fonts) {}
    ~PlainShaper();
    PlainShaper(const PlainShaper&) = delete;
    PlainShaper& operator=(const PlainShaper&) = delete;

    struct Glyph {
        uint16_t cid;
        int32_t advance, xOffset, yOffset; // font units
    };
    struct Shaped {
        std::vector<Glyph> glyphs; // in the text's order
    };
    // A text's glyphs in a document font, or nullptr when the font lacks a character. Valid
    // until the next call.
    const Shaped* shape(int font, QStringView text, bool rightToLeft);
    // Lets go of what was kept for texts that come again.
    void forget();

private:
    // A font's glyphs for the characters of numbers, and whether it sets them one by one.
    struct NumberGlyphs {
        static constexpr int Count = AmountCharacters::Count;
        static constexpr const char16_t (&Characters)[Count] = AmountCharacters::Of;
        static int indexOf(QChar c) { return AmountCharacters::indexOf(c); }
        struct Pair {
            int32_t firstAdvance = 0, firstOffset = 0, secondAdvance = 0, secondOffset = 0;
        };
        struct Glyph {
            int32_t advance, offset;
        };
        // A glyph between its neighbours (-1 for none), as its two pairs place it.
        Glyph placed(int before, int at, int after) const {
            Glyph g{advance[at], 0};
            if (before >= 0) {
                g.advance += pair[before][at].secondAdvance;
                g.offset += pair[before][at].secondOffset;
            }
            if (after >= 0) {
                g.advance += pair[at][after].firstAdvance;
                g.offset += pair[at][after].firstOffset;
            }
            return g;
        }
        // What HarfBuzz does with the characters of numbers in this font.
        static NumberGlyphs probe(hb_font_t* shaping);
        bool probePairs(hb_font_t* shaping, hb_buffer_t* buffer);
        bool probeTriples(hb_font_t* shaping, hb_buffer_t* buffer) const;
        bool plain = false;
        uint32_t glyph[Count] = {};
        int32_t advance[Count] = {};
        Pair pair[Count][Count];
    };
    const NumberGlyphs& numberGlyphsOf(int font);
    const Shaped* shapeNumber(int font, QStringView text);
    Shaped shapeWithHarfBuzz(int font, QStringView text, bool rightToLeft);

    PdfFonts& m_fonts;
    hb_buffer_t* m_buffer = nullptr; // reused for every text
    QHash<QString, Shaped> m_shaped; // by font, direction and text
    Shaped m_scratch;                // a text shaped without being kept: too long, or a number
    QHash<int, NumberGlyphs> m_numberGlyphs;
};

} // namespace palvex::pdf
