#pragma once

#include "Type1Program.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <vector>

namespace palvex::pdf {

class PdfWriter;

// A PostScript Type 1 font, which PDF shows through simple fonts of one-byte codes: each
// "slot" is a font of up to 255 of its glyphs, named in the order they were first drawn, and
// all slots share the one program, embedded whole. A glyph's number says its slot (high byte)
// and its code in that slot (low byte, 1–255).
class Type1Font {
public:
    // The font of a Type 1 file, or nothing when FreeType reads it as something else or its
    // program cannot be embedded.
    static std::unique_ptr<Type1Font> open(const QByteArray& file, int faceIndex);
    ~Type1Font();
    Type1Font(const Type1Font&) = delete;
    Type1Font& operator=(const Type1Font&) = delete;

    static constexpr int CodesPerSlot = 255;
    static int slotOf(uint16_t number) { return number >> 8; }

    // A new number for `glyph` (glyph indices are FreeType's, as Qt's are for such a font); 0
    // when the slots ran out.
    uint16_t add(uint32_t glyph);
    // A number's advance in thousandths of the font size.
    double advance(uint16_t number) const;
    int slotCount() const { return int((m_names.size() + CodesPerSlot - 1) / CodesPerSlot); }

    // Writes the program, its descriptor and each slot's font as object `fonts[slot]`, whose
    // codes copy back through the CMap written as object `toUnicode[slot]`.
    bool write(PdfWriter& writer, const std::vector<int>& fonts,
               const std::vector<int>& toUnicode) const;

private:
    struct Face;
    explicit Type1Font(std::unique_ptr<Face> face, Type1Program program);
    int writeDescriptor(PdfWriter& writer) const;

    std::unique_ptr<Face> m_face;
    Type1Program m_program;
    std::vector<QByteArray> m_names; // glyph names, by order of first use
    std::vector<double> m_advances;
};

} // namespace palvex::pdf
