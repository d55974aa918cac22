#include "Type1Font.h"

#include "PdfSyntax.h"
#include "PdfWriter.h"

#include <QFile>

#include <ft2build.h>

#include <freetype/freetype.h>
#include <freetype/ftfntfmt.h>
#include <freetype/t1tables.h>

#include <algorithm>
#include <cstring>

namespace palvex::pdf {

namespace {

// A name as PDF writes it: characters outside the printable ones, and PDF's delimiters, as #xx.
void appendName(QByteArray& out, const QByteArray& name) {
    static const char Hex[] = "0123456789ABCDEF";
    out.append('/');
    for (const char c : name) {
        const uchar u = uchar(c);
        if (u < '!' || u > '~' || std::strchr("#%()/<>[]{}", c)) {
            out.append('#').append(Hex[u >> 4]).append(Hex[u & 15]);
        } else {
            out.append(c);
        }
    }
}

} // namespace

// FreeType's face of the font, which names its glyphs and measures them.
struct Type1Font::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    double unitsToThousandths = 1;
    QByteArray postScriptName;

    ~Face() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

Type1Font::Type1Font(std::unique_ptr<Face> face, Type1Program program)
    : m_face(std::move(face)), m_program(std::move(program)) {}

Type1Font::~Type1Font() = default;

std::unique_ptr<Type1Font> Type1Font::open(const QByteArray& file, int faceIndex) {
    auto face = std::make_unique<Face>();
    if (FT_Init_FreeType(&face->library) != 0) return nullptr;
    if (FT_New_Face(face->library, file.constData(), faceIndex, &face->face) != 0) return nullptr;
    const char* format = FT_Get_Font_Format(face->face);
    if (!format || std::strcmp(format, "Type 1") != 0 || !FT_HAS_GLYPH_NAMES(face->face) ||
        face->face->units_per_EM == 0)
        return nullptr;
    face->unitsToThousandths = 1000.0 / face->face->units_per_EM;
    const char* name = FT_Get_Postscript_Name(face->face);
    face->postScriptName = name && *name ? QByteArray(name) : QByteArray("Type1Font");
    QFile in(QString::fromLocal8Bit(file));
    if (!in.open(QIODevice::ReadOnly)) return nullptr;
    std::optional<Type1Program> program = type1Program(in.readAll());
    if (!program) return nullptr;
    return std::unique_ptr<Type1Font>(new Type1Font(std::move(face), std::move(*program)));
}

uint16_t Type1Font::add(uint32_t glyph) {
    const size_t count = m_names.size();
    if (count >= size_t(CodesPerSlot) * 255) return 0;
    FT_Face face = m_face->face;
    char name[128] = {};
    if (glyph >= FT_UInt(face->num_glyphs) ||
        FT_Get_Glyph_Name(face, glyph, name, sizeof name) != 0 || !name[0])
        return 0;
    double advance = 0;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) == 0)
        advance = face->glyph->metrics.horiAdvance * m_face->unitsToThousandths;
    m_names.emplace_back(name);
    m_advances.push_back(advance);
    return uint16_t((count / CodesPerSlot) << 8 | (count % CodesPerSlot + 1));
}

double Type1Font::advance(uint16_t number) const {
    const size_t slot = size_t(slotOf(number)), code = number & 0xFF;
    const size_t index = slot * CodesPerSlot + code - 1;
    return code > 0 && index < m_advances.size() ? m_advances[index] : 0;
}

int Type1Font::writeDescriptor(PdfWriter& writer) const {
    const int file = writer.reserve();
    QByteArray lengths("/Length1 ");
    appendInteger(lengths, m_program.cleartext.size());
    lengths.append(" /Length2 ");
    appendInteger(lengths, m_program.encrypted.size());
    lengths.append(" /Length3 0");
    writer.stream(file, lengths, m_program.cleartext + m_program.encrypted);

    const FT_Face face = m_face->face;
    const double k = m_face->unitsToThousandths;
    PS_FontInfoRec info{};
    const double italicAngle = FT_Get_PS_Font_Info(face, &info) == 0 ? info.italic_angle : 0;
    // Symbolic: its glyphs are named by the font's own encoding rather than a standard one.
    int flags = 4;
    if (FT_IS_FIXED_WIDTH(face)) flags |= 1;
    if (italicAngle != 0) flags |= 64;
    QByteArray descriptor("<< /Type /FontDescriptor /FontName ");
    appendName(descriptor, m_face->postScriptName);
    descriptor.append(" /Flags ");
    appendInteger(descriptor, flags);
    descriptor.append(" /FontBBox [");
    for (const FT_Pos v : {face->bbox.xMin, face->bbox.yMin, face->bbox.xMax, face->bbox.yMax}) {
        appendNumber(descriptor, double(v) * k, 0);
        descriptor.append(' ');
    }
    descriptor.append("] /ItalicAngle ");
    appendNumber(descriptor, italicAngle, 1);
    descriptor.append(" /Ascent ");
    appendNumber(descriptor, face->ascender * k, 0);
    descriptor.append(" /Descent ");
    appendNumber(descriptor, face->descender * k, 0);
    descriptor.append(" /CapHeight ");
    appendNumber(descriptor, face->ascender * k, 0);
    descriptor.append(" /StemV 80 /FontFile ");
    appendInteger(descriptor, file);
    descriptor.append(" 0 R >>");
    const int id = writer.reserve();
    writer.object(id, descriptor);
    return id;
}

bool Type1Font::write(PdfWriter& writer, const std::vector<int>& fonts,
                      const std::vector<int>& toUnicode) const {
    if (fonts.size() != size_t(slotCount()) || toUnicode.size() != fonts.size()) return false;
    const int descriptor = writeDescriptor(writer);
    QByteArray baseFont;
    appendName(baseFont, m_face->postScriptName);
    for (size_t slot = 0; slot < fonts.size(); ++slot) {
        const size_t first = slot * CodesPerSlot;
        const size_t count = std::min<size_t>(CodesPerSlot, m_names.size() - first);
        QByteArray font("<< /Type /Font /Subtype /Type1 /BaseFont " + baseFont +
                        " /FirstChar 1 /LastChar ");
        appendInteger(font, qsizetype(count));
        font.append(" /Widths [");
        for (size_t i = 0; i < count; ++i) {
            appendNumber(font, m_advances[first + i], 1);
            font.append(' ');
        }
        font.append("] /Encoding << /Type /Encoding /Differences [1");
        for (size_t i = 0; i < count; ++i)
            appendName(font, m_names[first + i]);
        font.append("] >> /FontDescriptor ");
        appendInteger(font, descriptor);
        font.append(" 0 R /ToUnicode ");
        appendInteger(font, toUnicode[slot]);
        writer.object(fonts[slot], font + " 0 R >>");
    }
    return writer.ok();
}

} // namespace palvex::pdf
