#pragma once

#include "PdfSyntax.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct hb_face_t;
struct hb_font_t;

namespace palvex::pdf {

class PdfWriter;

// A font as the text engine found it: the file it came from, or its tables for one that came
// from no file (see QtText.h, which reads Qt's engines).
struct FontSource {
    const void* identity = nullptr; // one engine, one font
    QByteArray file;                // empty for a font without a file
    int faceIndex = 0;
    QByteArray family;                  // names a font whose tables name none
    std::function<hb_face_t*()> tables; // the face of a font without a file
};

// The fonts of a document, each embedded once as a subset of the glyphs it drew.
//
// Glyphs are addressed by numbers of the document's own (CIDs), one for each glyph *and the text
// it stands for*: a bracket drawn mirrored in right-to-left text is the other bracket's glyph,
// and gets a number of its own that copies back as the character that was typed. TrueType
// fonts map the numbers to their glyphs; CFF fonts are rewritten as CID-keyed fonts whose CIDs
// are the numbers. CFF2 fonts keep the glyph's own number.
class PdfFonts {
public:
    PdfFonts();
    ~PdfFonts();
    PdfFonts(const PdfFonts&) = delete;
    PdfFonts& operator=(const PdfFonts&) = delete;

    // The document's font for a text engine's font, or -1 when its font data cannot be
    // embedded (then the text is drawn as outlines). Its object number comes from `writer`.
    int fontFor(const FontSource& source, PdfWriter& writer);
    int objectId(int font) const;
    // The number that draws `glyph` of `font` and copies back as `text`. A right-to-left glyph
    // that stands for several characters (a ligature, a letter with its point) copies back as
    // them reversed: it is shown in visual order, and readers reverse right-to-left runs back.
    uint16_t cid(int font, uint32_t glyph, QStringView text, bool rightToLeft);
    // A number that draws the font's space and copies back as `text`, to carry the text of
    // characters drawn as shapes; 0 when the font has no space.
    uint16_t blankCarrying(int font, QStringView text);
    // The numbers that draw `glyph` copying back as `text`: the glyph's own, and for a glyph
    // that holds a letter with its points (see ClusterText.h), a blank of no width beside it
    // (the font's zero-width space or joiner) that copies back as the points, the glyph then
    // copying as the letter. `points` is 0 for no such blank.
    struct GlyphNumbers {
        uint16_t glyph = 0, points = 0;
    };
    GlyphNumbers numbers(int font, uint32_t glyph, QStringView text, bool rightToLeft);
    // Whether a number copies back as blanks only (a space).
    bool isBlank(int font, uint16_t cid) const;
    // A number's advance in thousandths of the font size.
    double advance(int font, uint16_t cid) const;
    // The font as HarfBuzz shapes with it (its scale: font units), and its units to the em.
    hb_font_t* shapingFont(int font) const;
    unsigned unitsPerEm(int font) const;
    // The font's file and face ("path#index"), empty for a font that came from no file.
    QByteArray faceKey(int font) const;
    // How many bytes a code of the font takes in a page: 2 for the numbers of the fonts above,
    // 1 for a Type 1 font, shown through fonts of its own ("slots", see Type1Font.h), each
    // number's high byte saying its slot and its low byte its code there.
    int codeBytes(int font) const;

    // Subsets and writes every font used; false when a font could not be written, or drew
    // more glyphs than a font's numbers can tell apart (65,535).
    bool write(PdfWriter& writer);
    // "/F1 5 0 R /F2 9 0 R" for the resources dictionary, after write().
    QByteArray resourceEntries() const;

private:
    // A number for the font's blank of no width copying back as `points`; 0 for no such glyph.
    uint16_t pointCarrier(int font, QStringView points, bool rightToLeft);

    struct Font;
    bool writeType1(Font& font, PdfWriter& writer);

    std::vector<std::unique_ptr<Font>> m_fonts;
    QHash<QByteArray, int> m_byFace; // file and face index → font
    QHash<const void*, int> m_byEngine;
};

// The name a page calls a font by: "/F3", and "/F3.2" for the third slot of a Type 1 font.
template <class Buffer> void appendFontName(Buffer& out, int font, int slot) {
    out.append("/F", 2);
    appendInteger(out, font);
    if (slot == 0) return;
    out.append(".", 1);
    appendInteger(out, slot);
}

} // namespace palvex::pdf
