// The fonts of a document: CFF programs rewritten CID-keyed in the document's numbering, and a
// font that runs out of numbers failing the document rather than dropping glyphs.
#include "platform/pdf/PdfFonts.h"
#include "core/DocumentProperties.h"
#include "platform/pdf/CidKeyedCff.h"
#include "platform/pdf/PdfWriter.h"

#include <QBuffer>
#include <QProcess>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <hb.h>

#include <memory>

using namespace palvex;

namespace {

QByteArray fontFile(const char* family) {
    QProcess match;
    match.start(QStringLiteral("fc-match"),
                {QStringLiteral("-f"), QStringLiteral("%{file}"), QString::fromUtf8(family)});
    match.waitForFinished();
    return match.readAllStandardOutput();
}

QByteArray cffTable(const QByteArray& file) {
    hb_blob_t* blob = hb_blob_create_from_file(file.constData());
    hb_face_t* face = hb_face_create(blob, 0);
    hb_blob_t* table = hb_face_reference_table(face, HB_TAG('C', 'F', 'F', ' '));
    unsigned length = 0;
    const char* data = hb_blob_get_data(table, &length);
    QByteArray cff(data, int(length));
    hb_blob_destroy(table);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return cff;
}

// A glyph's outline as FreeType reads it from a bare CFF program: its points, one number each.
struct FreeTypeCff {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    QByteArray data;
    explicit FreeTypeCff(QByteArray program) : data(std::move(program)) {
        FT_Init_FreeType(&library);
        FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data.constData()),
                           FT_Long(data.size()), 0, &face);
    }
    ~FreeTypeCff() {
        if (face) FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
    std::vector<long> outline(unsigned glyph) const {
        std::vector<long> points;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return points;
        for (int i = 0; i < face->glyph->outline.n_points; ++i)
            points.push_back(face->glyph->outline.points[i].x * 100000 +
                             face->glyph->outline.points[i].y);
        return points;
    }
};

} // namespace

// Glyph n of the rewritten font is the original's glyph glyphOf[n], a glyph drawn for two texts
// twice; a font already CID-keyed is read as well as one keyed by name.
TEST(CidKeyedCff, EachNumberDrawsItsGlyphAndACidKeyedFontReadsBack) {
    const QByteArray file = fontFile("David CLM");
    if (!file.endsWith(".otf")) GTEST_SKIP() << "no CFF Culmus font";
    const QByteArray cff = cffTable(file);
    ASSERT_FALSE(cff.isEmpty());
    const FreeTypeCff original(cff);
    ASSERT_TRUE(original.face);
    ASSERT_GT(original.face->num_glyphs, 60);
    const std::vector<uint32_t> glyphOf{0, 40, 41, 40, 57, 3};
    const QByteArray rewritten = pdf::cidKeyedCff(cff, glyphOf);
    ASSERT_FALSE(rewritten.isEmpty());
    const FreeTypeCff cid(rewritten);
    ASSERT_TRUE(cid.face);
    EXPECT_EQ(cid.face->num_glyphs, long(glyphOf.size()));
    EXPECT_TRUE(cid.face->face_flags & FT_FACE_FLAG_CID_KEYED);
    for (size_t n = 1; n < glyphOf.size(); ++n)
        EXPECT_EQ(cid.outline(unsigned(n)), original.outline(glyphOf[n])) << n;
    EXPECT_FALSE(cid.outline(1).empty());

    // Rewritten again, from its own CIDs: 2 and 4 of the first are 41 and 57 of the original.
    const QByteArray again = pdf::cidKeyedCff(rewritten, {0, 2, 4});
    ASSERT_FALSE(again.isEmpty());
    const FreeTypeCff twice(again);
    ASSERT_TRUE(twice.face);
    EXPECT_EQ(twice.outline(1), original.outline(41));
    EXPECT_EQ(twice.outline(2), original.outline(57));
}

// A damaged program is refused, never read past its end (the sanitizers watch this test).
TEST(CidKeyedCff, ADamagedProgramIsRefusedWithoutReadingPastIt) {
    const QByteArray file = fontFile("David CLM");
    if (!file.endsWith(".otf")) GTEST_SKIP() << "no CFF Culmus font";
    const QByteArray cff = cffTable(file);
    ASSERT_FALSE(cff.isEmpty());
    const std::vector<uint32_t> glyphOf{0, 40, 41};
    int refused = 0;
    for (qsizetype length = 0; length < cff.size(); length += 1 + length / 8)
        refused += pdf::cidKeyedCff(QByteArrayView(cff).first(length), glyphOf).isEmpty();
    EXPECT_GT(refused, 20);
    for (qsizetype at = 0; at < std::min<qsizetype>(cff.size(), 600); ++at) {
        QByteArray damaged = cff;
        damaged[at] = char(~damaged[at]);
        (void)pdf::cidKeyedCff(damaged, glyphOf); // refused or not, never past the data
    }
    // A glyph the font does not have is refused too.
    EXPECT_TRUE(pdf::cidKeyedCff(cff, {0, 60000}).isEmpty());
}

// More glyph-and-text pairs than a font's numbers can tell apart: the document fails, rather
// than drawing some glyphs as nothing.
TEST(PdfFonts, AFontThatRunsOutOfNumbersFailsTheDocument) {
    const QByteArray file = fontFile("Liberation Sans");
    if (file.isEmpty()) GTEST_SKIP() << "no Liberation Sans";
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    pdf::PdfWriter writer(out, DocumentProperties{});
    int identity = 0;
    pdf::FontSource source;
    source.identity = &identity;
    source.file = file;
    pdf::PdfFonts fonts;
    const int font = fonts.fontFor(source, writer);
    ASSERT_GE(font, 0);
    uint16_t last = 0;
    for (int i = 0; i < 0x10000 + 10; ++i)
        last = fonts.cid(font, 36, QStringLiteral("A%1").arg(i), false);
    EXPECT_EQ(last, 0);
    EXPECT_FALSE(fonts.write(writer));

    pdf::PdfFonts few;
    const int another = few.fontFor(source, writer);
    EXPECT_NE(few.cid(another, 36, QStringLiteral("AB"), false),
              few.cid(another, 36, QStringLiteral("AC"), false));
}
