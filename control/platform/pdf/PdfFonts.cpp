#include "PdfFonts.h"

#include "CidKeyedCff.h"
#include "ClusterText.h"
#include "PdfSyntax.h"
#include "PdfWriter.h"
#include "TextDirection.h"
#include "Type1Font.h"

#include <QCryptographicHash>

#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <map>
#include <utility>

namespace palvex::pdf {

namespace {

constexpr hb_tag_t CffTag = HB_TAG('C', 'F', 'F', ' ');
constexpr hb_tag_t Cff2Tag = HB_TAG('C', 'F', 'F', '2');
constexpr hb_tag_t GlyfTag = HB_TAG('g', 'l', 'y', 'f');

bool hasTable(hb_face_t* face, hb_tag_t tag) {
    hb_blob_t* blob = hb_face_reference_table(face, tag);
    const bool has = hb_blob_get_length(blob) > 0;
    hb_blob_destroy(blob);
    return has;
}

// A big-endian 16-bit number at `offset` of a table, 0 past its end.
int tableShort(hb_face_t* face, hb_tag_t tag, unsigned offset) {
    hb_blob_t* blob = hb_face_reference_table(face, tag);
    unsigned length = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(hb_blob_get_data(blob, &length));
    const int value = offset + 2 <= length ? int16_t(data[offset] << 8 | data[offset + 1]) : 0;
    hb_blob_destroy(blob);
    return value;
}

QByteArray postScriptName(hb_face_t* face, const QByteArray& family) {
    char name[128];
    unsigned size = sizeof name;
    QByteArray result;
    if (hb_ot_name_get_utf8(face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name) >
        0)
        result = QByteArray(name, int(size));
    if (result.isEmpty()) result = family;
    QByteArray clean;
    for (char c : result)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_')
            clean.append(c);
    return clean.isEmpty() ? QByteArray("Font") : clean.left(60);
}

// Six capitals naming a subset, as PDF readers expect before a subset font's name.
QByteArray subsetTag(const QByteArray& name, int index) {
    const QByteArray hash =
        QCryptographicHash::hash(name + QByteArray::number(index), QCryptographicHash::Md5);
    QByteArray tag(6, 'A');
    for (int i = 0; i < 6; ++i)
        tag[i] = char('A' + uchar(hash[i]) % 26);
    return tag;
}

// The characters of a text last to first, a character outside the basic plane kept whole.
QString reversedCharacters(QStringView text) {
    QString reversed;
    reversed.reserve(text.size());
    for (qsizetype i = text.size(); i > 0;) {
        const qsizetype length =
            i >= 2 && text[i - 1].isLowSurrogate() && text[i - 2].isHighSurrogate() ? 2 : 1;
        i -= length;
        reversed.append(text.mid(i, length));
    }
    return reversed;
}

// What each code copies back as, for codes of two bytes, or of one (the low byte of the numbers).
QByteArray toUnicodeCMap(const std::map<uint16_t, QString>& texts, int codeBytes = 2) {
    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n";
    cmap += codeBytes == 1 ? "<00> <FF>\n" : "<0000> <FFFF>\n";
    cmap += "endcodespacerange\n";
    auto it = texts.begin();
    while (it != texts.end()) {
        QByteArray block;
        int count = 0;
        for (; it != texts.end() && count < 100; ++it, ++count) {
            block.append('<');
            if (codeBytes == 1)
                appendHex8(block, it->first & 0xFF);
            else
                appendHex16(block, it->first);
            block.append("> <");
            for (QChar c : it->second)
                appendHex16(block, c.unicode());
            block.append(">\n");
        }
        appendInteger(cmap, count);
        cmap += " beginbfchar\n" + block + "endbfchar\n";
    }
    return cmap + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

} // namespace

struct PdfFonts::Font {
    hb_face_t* face = nullptr;
    hb_font_t* font = nullptr;
    double unitsToThousandths = 1;
    bool cff = false;  // CFF outlines, written as a CID-keyed CFF of the document's numbers
    bool cff2 = false; // CFF2 outlines, which are not rewritten: numbers are glyph indices
    int objectId = 0;
    QByteArray name;
    QByteArray faceKey;
    std::vector<uint32_t> glyphOf{0}; // by number; 0 is .notdef
    std::vector<double> advanceOf{0};
    std::map<uint16_t, QString> textOf;
    QHash<quint64, uint16_t> bySingleCharacter; // glyph << 32 | code point
    QHash<QString, uint16_t> byText;            // glyph's two units, then the text
    bool numbersRanOut = false;
    std::unique_ptr<Type1Font> type1; // a Type 1 font's slots, instead of the above
    std::vector<int> slotIds;         // their objects, once written

    ~Font() {
        hb_font_destroy(font);
        hb_face_destroy(face);
    }

    std::vector<bool> blank; // by number: whether it copies back as blanks only
    int carrierGlyph = -1;   // a blank glyph of no width, 0 for none; -1 not looked for yet

    uint16_t add(uint32_t glyph, QStringView text) {
        const uint16_t number = addNumber(glyph, text);
        if (number && isBlankText(text)) {
            if (blank.size() <= number) blank.resize(size_t(number) + 1);
            blank[number] = true;
        }
        return number;
    }

    uint16_t addNumber(uint32_t glyph, QStringView text) {
        if (type1) {
            const uint16_t number = type1->add(glyph);
            if (number && !text.isEmpty()) textOf.emplace(number, text.toString());
            return number;
        }
        if (cff2) {
            const uint16_t number = uint16_t(std::min<uint32_t>(glyph, 0xFFFF));
            if (glyph >= glyphOf.size()) {
                glyphOf.resize(glyph + 1, 0);
                advanceOf.resize(glyph + 1, -1);
            }
            if (advanceOf[glyph] < 0) {
                glyphOf[glyph] = glyph;
                advanceOf[glyph] = hb_font_get_glyph_h_advance(font, glyph) * unitsToThousandths;
                if (!text.isEmpty()) textOf.emplace(number, text.toString());
            }
            return number;
        }
        if (glyphOf.size() >= 0xFFFF) {
            numbersRanOut = true; // the document fails when it is written
            return 0;
        }
        const uint16_t number = uint16_t(glyphOf.size());
        glyphOf.push_back(glyph);
        advanceOf.push_back(hb_font_get_glyph_h_advance(font, glyph) * unitsToThousandths);
        if (!text.isEmpty()) textOf.emplace(number, text.toString());
        return number;
    }
};

PdfFonts::PdfFonts() = default;
PdfFonts::~PdfFonts() = default;

int PdfFonts::fontFor(const FontSource& source, PdfWriter& writer) {
    const void* engine = source.identity;
    if (const auto it = m_byEngine.constFind(engine); it != m_byEngine.cend()) return it.value();
    const QByteArray key = source.file.isEmpty()
                               ? QByteArray()
                               : source.file + '#' + QByteArray::number(source.faceIndex);
    if (!key.isEmpty()) {
        if (const auto it = m_byFace.constFind(key); it != m_byFace.cend()) {
            m_byEngine.insert(engine, it.value());
            return it.value();
        }
    }

    hb_face_t* face = nullptr;
    if (!key.isEmpty()) {
        hb_blob_t* blob = hb_blob_create_from_file_or_fail(source.file.constData());
        if (blob) {
            face = hb_face_create(blob, unsigned(source.faceIndex));
            hb_blob_destroy(blob);
        }
    } else if (source.tables) {
        face = source.tables();
    }
    auto font = std::make_unique<Font>();
    font->face = face;
    const bool glyf = face && hasTable(face, GlyfTag);
    font->cff = face && !glyf && hasTable(face, CffTag);
    font->cff2 = face && !glyf && !font->cff && hasTable(face, Cff2Tag);
    const unsigned unitsPerEm = face ? hb_face_get_upem(face) : 0;
    int index = -1;
    if (face && (glyf || font->cff || font->cff2) && unitsPerEm > 0) {
        font->font = hb_font_create(face);
        font->unitsToThousandths = 1000.0 / unitsPerEm;
        font->objectId = writer.reserve();
        font->name = postScriptName(face, source.family);
        font->faceKey = key;
        index = int(m_fonts.size());
        m_fonts.push_back(std::move(font));
    } else if (!key.isEmpty()) {
        // No tables: perhaps a PostScript Type 1 font, which FreeType reads.
        if (std::unique_ptr<Type1Font> type1 = Type1Font::open(source.file, source.faceIndex)) {
            hb_face_destroy(std::exchange(font->face, nullptr));
            font->type1 = std::move(type1);
            font->objectId = writer.reserve();
            index = int(m_fonts.size());
            m_fonts.push_back(std::move(font));
        }
    }
    m_byEngine.insert(engine, index);
    if (!key.isEmpty()) m_byFace.insert(key, index);
    return index;
}

int PdfFonts::objectId(int font) const {
    return m_fonts[size_t(font)]->objectId;
}

uint16_t PdfFonts::cid(int index, uint32_t glyph, QStringView text, bool rightToLeft) {
    Font& font = *m_fonts[size_t(index)];
    const bool oneCharacter = text.size() <= 1 || (text.size() == 2 && text[0].isHighSurrogate() &&
                                                   text[1].isLowSurrogate());
    if (oneCharacter) {
        const char32_t code = text.isEmpty()     ? 0
                              : text.size() == 1 ? text[0].unicode()
                                                 : QChar::surrogateToUcs4(text[0], text[1]);
        const quint64 key = quint64(glyph) << 32 | code;
        if (const auto it = font.bySingleCharacter.constFind(key);
            it != font.bySingleCharacter.cend())
            return it.value();
        const uint16_t number = font.add(glyph, text);
        font.bySingleCharacter.insert(key, number);
        return number;
    }
    const QString copied = rightToLeft ? reversedCharacters(text) : text.toString();
    QString key = QString(QChar(ushort(glyph >> 16))) + QChar(ushort(glyph));
    key.append(copied);
    if (const auto it = font.byText.constFind(key); it != font.byText.cend()) return it.value();
    const uint16_t number = font.add(glyph, copied);
    font.byText.insert(key, number);
    return number;
}

uint16_t PdfFonts::blankCarrying(int index, QStringView text) {
    const Font& font = *m_fonts[size_t(index)];
    hb_codepoint_t space = 0;
    // (CFF2 fonts number each glyph once, whatever it stands for: their spaces must stay spaces.)
    if (font.cff2 || font.type1 || !font.font || text.isEmpty() ||
        !hb_font_get_nominal_glyph(font.font, ' ', &space) || space == 0)
        return 0;
    return cid(index, space, text, false);
}

PdfFonts::GlyphNumbers PdfFonts::numbers(int font, uint32_t glyph, QStringView text,
                                         bool rightToLeft) {
    if (holdsPoints(text)) {
        const HeldPoints held = pointsApart(text);
        if (const uint16_t points = pointCarrier(font, held.points, rightToLeft))
            return {cid(font, glyph, held.letter, rightToLeft), points};
    }
    return {cid(font, glyph, text, rightToLeft), 0};
}

uint16_t PdfFonts::pointCarrier(int index, QStringView points, bool rightToLeft) {
    Font& font = *m_fonts[size_t(index)];
    if (font.carrierGlyph < 0) {
        font.carrierGlyph = 0;
        for (const char32_t blank : {U'\u200B', U'\u2060', U'\uFEFF', U'\u200D', U'\u200C'}) {
            hb_codepoint_t glyph = 0;
            hb_glyph_extents_t extents{};
            if (font.font && hb_font_get_nominal_glyph(font.font, blank, &glyph) && glyph != 0 &&
                hb_font_get_glyph_h_advance(font.font, glyph) == 0 &&
                (!hb_font_get_glyph_extents(font.font, glyph, &extents) ||
                 (extents.width == 0 && extents.height == 0))) {
                font.carrierGlyph = int(glyph);
                break;
            }
        }
    }
    if (font.carrierGlyph == 0 || font.type1 || font.cff2 || points.isEmpty()) return 0;
    return cid(index, uint32_t(font.carrierGlyph), points, rightToLeft);
}

bool PdfFonts::isBlank(int font, uint16_t cid) const {
    const Font& f = *m_fonts[size_t(font)];
    return cid < f.blank.size() && f.blank[cid];
}

double PdfFonts::advance(int font, uint16_t cid) const {
    const Font& f = *m_fonts[size_t(font)];
    if (f.type1) return f.type1->advance(cid);
    return cid < f.advanceOf.size() ? std::max(0.0, f.advanceOf[cid]) : 0;
}

hb_font_t* PdfFonts::shapingFont(int font) const {
    return m_fonts[size_t(font)]->font;
}

QByteArray PdfFonts::faceKey(int font) const {
    return m_fonts[size_t(font)]->faceKey;
}

int PdfFonts::codeBytes(int font) const {
    return m_fonts[size_t(font)]->type1 ? 1 : 2;
}

unsigned PdfFonts::unitsPerEm(int font) const {
    return hb_face_get_upem(m_fonts[size_t(font)]->face);
}

QByteArray PdfFonts::resourceEntries() const {
    QByteArray entries;
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        const Font& font = *m_fonts[i];
        const size_t named = font.type1 ? font.slotIds.size() : 1;
        for (size_t slot = 0; slot < named; ++slot) {
            appendFontName(entries, int(i), int(slot));
            entries.append(' ');
            appendInteger(entries, slot == 0 ? font.objectId : font.slotIds[slot]);
            entries.append(" 0 R ");
        }
    }
    return entries;
}

bool PdfFonts::write(PdfWriter& writer) {
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        Font& font = *m_fonts[i];
        if (font.numbersRanOut) return false; // glyphs went undrawn
        if (font.type1) {
            if (!writeType1(font, writer)) return false;
            continue;
        }
        hb_subset_input_t* input = hb_subset_input_create_or_fail();
        if (!input) return false;
        hb_set_t* glyphs = hb_subset_input_glyph_set(input);
        for (uint32_t glyph : font.glyphOf)
            hb_set_add(glyphs, glyph);
        // Glyphs keep their numbers, so the content streams written earlier stay right.
        hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS);
        hb_face_t* subset = hb_subset_or_fail(font.face, input);
        hb_subset_input_destroy(input);
        if (!subset) return false;
        hb_blob_t* blob =
            font.cff ? hb_face_reference_table(subset, CffTag) : hb_face_reference_blob(subset);
        unsigned length = 0;
        const char* data = hb_blob_get_data(blob, &length);
        QByteArray program(data, int(length));
        hb_blob_destroy(blob);
        hb_face_destroy(subset);
        if (font.cff) program = cidKeyedCff(program, font.glyphOf);
        if (program.isEmpty()) return false;

        const int file = writer.reserve();
        QByteArray entries;
        if (font.cff) {
            entries = "/Subtype /CIDFontType0C";
        } else if (font.cff2) {
            entries = "/Subtype /OpenType";
        } else {
            entries = "/Length1 ";
            appendInteger(entries, program.size());
        }
        writer.stream(file, entries, program);

        const QByteArray baseName = '/' + subsetTag(font.name, int(i)) + '+' + font.name;
        hb_font_extents_t extents{};
        hb_font_get_h_extents(font.font, &extents);
        hb_position_t capHeight = 0;
        if (!hb_ot_metrics_get_position(font.font, HB_OT_METRICS_TAG_CAP_HEIGHT, &capHeight))
            capHeight = extents.ascender;
        const double k = font.unitsToThousandths;
        const hb_tag_t head = HB_TAG('h', 'e', 'a', 'd');
        const hb_tag_t post = HB_TAG('p', 'o', 's', 't');
        QByteArray descriptor =
            "<< /Type /FontDescriptor /FontName " + baseName + " /Flags 4 /FontBBox [";
        for (unsigned offset : {36u, 38u, 40u, 42u}) {
            appendNumber(descriptor, tableShort(font.face, head, offset) * k, 0);
            descriptor.append(' ');
        }
        descriptor.append("] /ItalicAngle ");
        appendNumber(descriptor, tableShort(font.face, post, 4), 0);
        descriptor.append(" /Ascent ");
        appendNumber(descriptor, extents.ascender * k, 0);
        descriptor.append(" /Descent ");
        appendNumber(descriptor, extents.descender * k, 0);
        descriptor.append(" /CapHeight ");
        appendNumber(descriptor, capHeight * k, 0);
        descriptor.append(font.cff || font.cff2 ? " /StemV 80 /FontFile3 "
                                                : " /StemV 80 /FontFile2 ");
        appendInteger(descriptor, file);
        descriptor.append(" 0 R >>");
        const int descriptorId = writer.reserve();
        writer.object(descriptorId, descriptor);

        QByteArray widths("[");
        for (size_t number = 1; number < font.glyphOf.size(); ++number) {
            if (font.advanceOf[number] < 0) continue;
            appendInteger(widths, qsizetype(number));
            widths.append(" [");
            appendNumber(widths, font.advanceOf[number], 1);
            widths.append("] ");
        }
        widths.append(']');

        QByteArray cidFont = "<< /Type /Font /Subtype /" +
                             QByteArray(font.cff || font.cff2 ? "CIDFontType0" : "CIDFontType2") +
                             " /BaseFont " + baseName +
                             " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
                             "/Supplement 0 >> /FontDescriptor ";
        appendInteger(cidFont, descriptorId);
        cidFont += " 0 R /DW 0 /W " + widths;
        if (!font.cff && !font.cff2) {
            QByteArray map;
            map.reserve(qsizetype(font.glyphOf.size()) * 2);
            for (uint32_t glyph : font.glyphOf)
                map.append(char(glyph >> 8)).append(char(glyph));
            const int mapId = writer.reserve();
            writer.stream(mapId, {}, map);
            cidFont.append(" /CIDToGIDMap ");
            appendInteger(cidFont, mapId);
            cidFont.append(" 0 R");
        }
        const int cidFontId = writer.reserve();
        writer.object(cidFontId, cidFont + " >>");

        const int toUnicode = writer.reserve();
        writer.stream(toUnicode, {}, toUnicodeCMap(font.textOf));

        QByteArray type0 = "<< /Type /Font /Subtype /Type0 /BaseFont " + baseName +
                           " /Encoding /Identity-H /DescendantFonts [";
        appendInteger(type0, cidFontId);
        type0.append(" 0 R] /ToUnicode ");
        appendInteger(type0, toUnicode);
        writer.object(font.objectId, type0 + " 0 R >>");
    }
    return writer.ok();
}

bool PdfFonts::writeType1(Font& font, PdfWriter& writer) {
    // A font nothing was drawn with still has a slot, whose glyph is .notdef, to be whole.
    if (font.type1->slotCount() == 0) font.type1->add(0);
    // The first slot has the number the font was given; the others are numbered now.
    const int slotCount = font.type1->slotCount();
    font.slotIds = {font.objectId};
    std::vector<int> toUnicode;
    for (int slot = 0; slot < slotCount; ++slot) {
        if (slot > 0) font.slotIds.push_back(writer.reserve());
        const auto first = font.textOf.lower_bound(uint16_t(slot << 8));
        const auto end = font.textOf.lower_bound(uint32_t(slot + 1) << 8);
        toUnicode.push_back(writer.reserve());
        writer.stream(toUnicode.back(), {},
                      toUnicodeCMap(std::map<uint16_t, QString>(first, end), 1));
    }
    return font.type1->write(writer, font.slotIds, toUnicode);
}

} // namespace palvex::pdf
