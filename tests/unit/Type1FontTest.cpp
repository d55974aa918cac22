// PostScript Type 1 fonts (Culmus's Hebrew .pfa fonts, URW's .pfb and .t1) go into the PDF as
// fonts, not outlines: the program is read in each of its forms, the text copies back as it was
// typed, a font of more glyphs than one byte codes spreads over several fonts, and the page
// prints as the canvas draws it.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "platform/ImageSurface.h"
#include "platform/PdfSurface.h"
#include "platform/Printers.h"
#include "platform/pdf/Type1Program.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace palvex::test {
namespace {

const char* const PfbFont = "/usr/share/fonts/X11/Type1/C059-Roman.pfb";
const char* const PfaFont = "/usr/share/fonts/X11/Type1/AharoniCLM-Book.pfa";

QByteArray fileBytes(const char* path) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What follows the encrypted part in every form: 512 zeros and "cleartomark".
QByteArray trailer() {
    QByteArray zeros;
    for (int line = 0; line < 8; ++line)
        zeros += QByteArray(64, '0') + '\n';
    return zeros + "cleartomark\n";
}

TEST(Type1Program, AFontReadsTheSameInEachOfItsForms) {
    const std::optional<pdf::Type1Program> segmented = pdf::type1Program(fileBytes(PfbFont));
    if (!segmented) GTEST_SKIP() << PfbFont << " is not installed (fonts-urw-base35)";
    EXPECT_TRUE(segmented->cleartext.startsWith("%!PS-AdobeFont"));
    EXPECT_TRUE(segmented->cleartext.trimmed().endsWith("eexec"));
    EXPECT_GT(segmented->encrypted.size(), 100000);

    // The same program as hexadecimal text (a .pfa) and with a binary encrypted part (a .t1).
    QByteArray hex = segmented->cleartext;
    const QByteArray digits = segmented->encrypted.toHex().toUpper();
    for (qsizetype at = 0; at < digits.size(); at += 64)
        hex += digits.mid(at, 64) + '\n';
    const std::optional<pdf::Type1Program> fromHex = pdf::type1Program(hex + trailer());
    const std::optional<pdf::Type1Program> fromBinary =
        pdf::type1Program(segmented->cleartext + segmented->encrypted + '\n' + trailer());
    for (const auto& form : {fromHex, fromBinary}) {
        ASSERT_TRUE(form);
        EXPECT_EQ(form->cleartext, segmented->cleartext);
        EXPECT_EQ(form->encrypted, segmented->encrypted);
    }

    // Culmus's .pfa: its hexadecimal part is twice its program, the trailer left out.
    const QByteArray pfa = fileBytes(PfaFont);
    const std::optional<pdf::Type1Program> culmus = pdf::type1Program(pfa);
    ASSERT_TRUE(culmus);
    const qsizetype hexPart = pfa.size() - culmus->cleartext.size() - trailer().size();
    EXPECT_NEAR(culmus->encrypted.size(), hexPart / 2, hexPart / 60); // less its line ends
}

// A program that cannot be embedded whole leaves its text to be drawn as outlines.
TEST(Type1Program, AnIncompleteProgramIsRefused) {
    const QByteArray pfb = fileBytes(PfbFont), pfa = fileBytes(PfaFont);
    if (pfb.isEmpty() || pfa.isEmpty()) GTEST_SKIP() << "no Type 1 fonts installed";
    EXPECT_FALSE(pdf::type1Program(pfb.left(pfb.size() / 2)));
    EXPECT_FALSE(pdf::type1Program(pfa.left(pfa.size() / 2)));
    EXPECT_FALSE(pdf::type1Program(pfa.left(pfa.indexOf("eexec"))));
    EXPECT_FALSE(pdf::type1Program(fileBytes("/usr/share/fonts/truetype/liberation2/"
                                             "LiberationSans-Regular.ttf")));
}

class Type1Pdf : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        if (!QFile::exists(QString::fromLatin1(PfaFont)) ||
            QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
            GTEST_SKIP() << "culmus or poppler-utils is not installed";
        ASSERT_EQ(ctl().let_CodePage(65001), Status::Ok);
        start();
    }
    QString exported(const char* name) {
        QString file = path(name);
        EXPECT_EQ(ctl().ExportPdf(file), Status::Ok);
        EXPECT_TRUE(qpdfCheck(file).clean()) << qPrintable(qpdfCheck(file).output);
        return file;
    }
    static QString mupdfText(const QString& pdf) {
        return popplerOutput(
            QStringLiteral("mutool"),
            {QStringLiteral("draw"), QStringLiteral("-F"), QStringLiteral("txt"), pdf});
    }
};

TEST_F(Type1Pdf, HebrewWithBracketsAndLatinCopiesBackAsTyped) {
    const QString hebrew = QString::fromUtf8("יתרה (חובה) [סעיף א] Total");
    const QString latin = QStringLiteral("Balance (debit) [section 1]");
    ASSERT_EQ(ctl().let_FontName(QStringLiteral("Aharoni CLM")), Status::Ok);
    ASSERT_EQ(right(hebrew, A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().let_FontName(QStringLiteral("C059 [urw]")), Status::Ok);
    ASSERT_EQ(text(latin, A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = exported("type1.pdf");

    const QString fonts = popplerOutput(QStringLiteral("pdffonts"), {pdf});
    for (const char* name : {"AharoniCLM-Book ", "C059-Roman "}) {
        const QRegularExpression row(QString::fromLatin1(name) +
                                     QStringLiteral(" *Type 1 +Custom +yes no  yes"));
        EXPECT_TRUE(row.match(fonts).hasMatch()) << name << "\n" << qPrintable(fonts);
    }
    // Poppler orders a line by its glyphs' places: the words are there; MuPDF 1.21 follows the
    // content, shown left to right: the Hebrew reads reversed, each bracket the typed one.
    const QString poppler = pdfText(pdf);
    EXPECT_TRUE(poppler.contains(latin)) << qPrintable(poppler);
    for (QString word : hebrew.split(QLatin1Char(' '))) {
        word.remove(QRegularExpression(QStringLiteral("[][()]")));
        EXPECT_TRUE(poppler.contains(word)) << qPrintable(word) << "\n" << qPrintable(poppler);
    }
    if (QStandardPaths::findExecutable(QStringLiteral("mutool")).isEmpty()) return;
    const QString mupdf = mupdfText(pdf);
    EXPECT_TRUE(mupdf.contains(QString::fromUtf8("]א ףיעס[ )הבוח( הרתי"))) << qPrintable(mupdf);
    EXPECT_TRUE(mupdf.contains(latin)) << qPrintable(mupdf);
}

// More than 255 glyphs of one font: later glyphs go into further fonts of one-byte codes, and
// a line that mixes them switches between those fonts without losing its place.
// 278 letters, the last 64 Cyrillic: the first font's 255 codes run out among them.
QString manyGlyphs() {
    QString text;
    for (char16_t c = 0x3B1; c <= 0x3C9; ++c)
        text += QChar(c);
    for (char16_t c = 0xC0; c < 0x17F; ++c)
        if (QChar(c).isLetter()) text += QChar(c);
    for (char16_t c = 0x410; c < 0x450; ++c)
        text += QChar(c);
    return text;
}

// Cyrillic letters of the first font and of the second, then of the first again.
QString mixedSlots(const QString& many) {
    return many.mid(230, 10) + many.right(10) + many.mid(240, 10);
}

TEST_F(Type1Pdf, AFontOfManyGlyphsSpreadsOverFontsOfOneByteCodes) {
    ASSERT_EQ(ctl().let_FontName(QStringLiteral("C059 [urw]")), Status::Ok);
    ASSERT_EQ(ctl().let_FontSize(8), Status::Ok);
    const QString all = manyGlyphs();
    QStringList lines;
    for (qsizetype at = 0; at < all.size(); at += 40)
        lines << all.mid(at, 40);
    lines << mixedSlots(all);
    for (const QString& line : lines)
        ASSERT_EQ(text(line, A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = exported("slots.pdf");
    const QString objects =
        popplerOutput(QStringLiteral("qpdf"),
                      {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"), pdf,
                       QStringLiteral("-")});
    EXPECT_TRUE(objects.contains(QRegularExpression(QStringLiteral("/F\\d+\\.1 \\d+ 0 R"))));
    const QString poppler = pdfText(pdf);
    for (const QString& line : lines)
        EXPECT_TRUE(poppler.contains(line)) << qPrintable(line) << "\n" << qPrintable(poppler);
}

// Pixels of `a` that no pixel of `b` within two pixels matches: glyphs that are not there or are
// another glyph, or are placed elsewhere, rather than edges that fall a pixel apart.
int unmatchedPixels(const QImage& a, const QImage& b) {
    constexpr int Reach = 2;
    int unmatched = 0;
    for (int y = Reach; y < a.height() - Reach; y += 2) {
        const auto* row = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        for (int x = Reach; x < a.width() - Reach; x += 2) {
            bool matched = false;
            for (int dy = -Reach; dy <= Reach && !matched; ++dy) {
                const auto* near = reinterpret_cast<const QRgb*>(b.constScanLine(y + dy));
                for (int dx = -Reach; dx <= Reach && !matched; ++dx)
                    matched = std::abs(qGray(row[x]) - qGray(near[x + dx])) <= 50;
            }
            unmatched += !matched;
        }
    }
    return unmatched;
}

// The canvas and the PDF (at 1440 dpi, a pixel a twip) differ only where glyphs' edges fall a
// pixel or two apart.
TEST(Type1Print, PrintsAsTheCanvasDrawsIt) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    const QSize area(4000, 3800);
    auto draw = [&](Surface& s) {
        s.setFontSize(14);
        s.setCurrentY(100);
        for (const char* font : {"Aharoni CLM", "C059 [urw]", "Drugulin CLM"}) {
            s.setFontName(QString::fromLatin1(font));
            s.setCurrentX(s.ScaleWidth() - area.width() + 100);
            s.Print(QString::fromUtf8("שלום (עולם) [א] Hello"), true);
        }
        s.setFontName(QStringLiteral("C059 [urw]"));
        s.setFontSize(8);
        const QString all = manyGlyphs();
        for (qsizetype at = 0; at <= all.size(); at += 30) {
            s.setCurrentX(s.ScaleWidth() - area.width() + 100);
            s.Print(at < all.size() ? all.mid(at, 30) : mixedSlots(all), true);
        }
    };
    ImageSurface canvas(1.0, 1.0);
    canvas.setScaleModeTwips();
    canvas.setWidth(area.width());
    canvas.setHeight(area.height());
    canvas.Cls();
    draw(canvas);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("text.pdf"));
    const PrinterDevice device = Printers::pdfDevice();
    {
        PdfSurface printer(device, pdf);
        printer.begin();
        draw(printer);
        printer.EndDoc();
    }
    EXPECT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);
    const QString png = dir.filePath(QStringLiteral("text"));
    popplerOutput(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("1440"), QStringLiteral("-x"),
                   QString::number(int(device.left)), QStringLiteral("-y"),
                   QString::number(int(device.top)), QStringLiteral("-W"),
                   QString::number(area.width()), QStringLiteral("-H"),
                   QString::number(area.height()), QStringLiteral("-png"),
                   QStringLiteral("-singlefile"), pdf, png});
    const QImage printed =
        QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), area);
    const QImage drawn = canvas.image().convertToFormat(QImage::Format_RGB32);
    int ink = 0;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            ink += qGray(drawn.pixel(x, y)) < 128;
    EXPECT_GT(ink, area.width() * area.height() / 50); // the text is there
    const int unmatched = unmatchedPixels(printed, drawn) + unmatchedPixels(drawn, printed);
    EXPECT_LT(unmatched, ink / 100) << unmatched << " of " << ink;
}

} // namespace
} // namespace palvex::test
