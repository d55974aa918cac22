// Every character of a printed line comes from a font that has it: characters the report's font
// lacks are drawn as text in the fallback font Qt found for them (GNU Unifont last), embedded and
// copied back; a character no font has is drawn as the box the preview shows and still copies
// back, and no page draws a font's .notdef glyph, archives (PDF/A-2b) and tagged documents too.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "platform/ImageSurface.h"
#include "platform/PdfSurface.h"
#include "platform/Printers.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef PALVEX_PYTHON3
#define PALVEX_PYTHON3 "/usr/bin/python3"
#endif

namespace palvex::test {
namespace {

// Hebrew and Latin from the report's fonts; a check mark from a fallback font; an ideographic
// description character that only Unifont has; a code point no font has (it is unassigned).
const QString kCheckMark = QString::fromUtf8("\u2713");
const QString kOnlyUnifont = QString::fromUtf8("\u2FF0");
const QString kNoFont = QString::fromUcs4(U"\U0003FFFD", 1);
const QString kMixedLine = QString::fromUtf8("שלום Hello ") + kCheckMark + QLatin1Char(' ') +
                           kOnlyUnifont + QStringLiteral(" x ") + kNoFont + QStringLiteral(" y");

QString toolOutput(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool haveTool(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// The glyph checker's findings (one line for each .notdef drawn) and its exit code.
QString notdefFaults(const QStringList& args, int* exitCode) {
    return toolOutput(
        QStringLiteral(PALVEX_PYTHON3),
        QStringList{QStringLiteral(PALVEX_TEST_UNIT_DIR "/pdf_glyph_check.py")} + args, exitCode);
}

class FontFallback : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        if (!haveTool("pdffonts")) GTEST_SKIP() << "poppler-utils is not installed";
    }
};

TEST_F(FontFallback, EveryCharacterIsDrawnAsTextInAFontThatHasItAndCopiesBack) {
    EXPECT_EQ(ctl().let_CodePage(65001), Status::Ok);
    EXPECT_EQ(ctl().let_PdfArchive(true), Status::Ok);
    start();
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Liberation Sans")), Status::Ok);
    EXPECT_EQ(right(kMixedLine, A2_JumpToNextLine), Status::Ok);
    // Alone in a line of one direction the box is drawn by the direct shaping's fallback to Qt.
    EXPECT_EQ(left(QStringLiteral("Total ") + kNoFont, A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    QString pdf = path("fallback.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    EXPECT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);

    // The report's font, the check mark's and Unifont, each embedded as a font with its text.
    const QString fonts = toolOutput(QStringLiteral("pdffonts"), {pdf});
    int embedded = 0;
    for (const QString& font : fonts.split(QLatin1Char('\n')).mid(2)) {
        if (font.trimmed().isEmpty()) continue;
        EXPECT_TRUE(font.contains(QStringLiteral(" yes yes yes "))) << qPrintable(font);
        ++embedded;
    }
    EXPECT_TRUE(fonts.contains(QStringLiteral("+Unifont "))) << qPrintable(fonts);
    EXPECT_GE(embedded, 4) << qPrintable(fonts); // the page number's bold font too

    int exitCode = -1;
    const QString faults = notdefFaults({pdf}, &exitCode);
    EXPECT_EQ(exitCode, 0) << qPrintable(faults);
    // The checker finds a .notdef where there is one.
    notdefFaults({pdf, QStringLiteral("--spoil"), path("spoiled.pdf")}, &exitCode);
    EXPECT_EQ(exitCode, 1);
    // Still tagged and still an archive.
    const QString tags =
        toolOutput(QStringLiteral(PALVEX_PYTHON3),
                   {QStringLiteral(PALVEX_TEST_UNIT_DIR "/pdf_tags_check.py"), pdf}, &exitCode);
    EXPECT_EQ(exitCode, 0) << qPrintable(tags);
    EXPECT_TRUE(toolOutput(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), pdf})
                    .contains(QStringLiteral("<pdfaid:part>2</pdfaid:part>")));

    const QString popplerText = pdfText(pdf);
    for (const QString& piece : {QString::fromUtf8("שלום"), QStringLiteral("Hello"), kCheckMark,
                                 kOnlyUnifont, kNoFont, QStringLiteral("Total ") + kNoFont})
        EXPECT_TRUE(popplerText.contains(piece)) << qPrintable(piece) << "\n"
                                                 << qPrintable(popplerText);
    if (!haveTool("mutool")) GTEST_SKIP() << "mupdf-tools is not installed";
    // MuPDF reads no span's text: it reads the blank that stands for the boxed character.
    const QString mupdfText =
        toolOutput(QStringLiteral("mutool"),
                   {QStringLiteral("draw"), QStringLiteral("-F"), QStringLiteral("txt"), pdf});
    for (const QString& piece : {kCheckMark, kOnlyUnifont, QStringLiteral("Total ") + kNoFont})
        EXPECT_TRUE(mupdfText.contains(piece)) << qPrintable(piece) << "\n"
                                               << qPrintable(mupdfText);
}

// The same line on the preview's canvas and on paper, compared a pixel a twip as the shapes are
// (PdfDeviceTest): the fallback fonts' glyphs and the box land where the preview draws them.
TEST(FontFallbackPrint, TheLineLooksAsThePreviewDrawsIt) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("line.pdf"));
    const PrinterDevice device = Printers::pdfDevice();
    const int width = int(device.scaleWidth), height = 700;
    auto drawLine = [](Surface& s) {
        s.setFontName(QStringLiteral("Liberation Sans"));
        s.setFontSize(14);
        s.setCurrentX(500);
        s.setCurrentY(200);
        s.Print(kMixedLine, false);
    };
    ImageSurface canvas(1.0, 1.0); // a pixel a twip
    canvas.setScaleModeTwips();
    canvas.setWidth(float(width));
    canvas.setHeight(float(height));
    canvas.Cls();
    drawLine(canvas);
    {
        PdfSurface printer(device, pdf);
        printer.begin();
        drawLine(printer);
        printer.EndDoc();
    }
    const QString png = dir.filePath(QStringLiteral("line"));
    toolOutput(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("1440"), QStringLiteral("-x"),
                QString::number(int(device.left)), QStringLiteral("-y"),
                QString::number(int(device.top)), QStringLiteral("-W"), QString::number(width),
                QStringLiteral("-H"), QString::number(height), QStringLiteral("-png"),
                QStringLiteral("-singlefile"), pdf, png});
    const QImage printed =
        QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), QSize(width, height));
    const QImage drawn = canvas.image().convertToFormat(QImage::Format_RGB32);

    // Glyph edges may differ by a pixel or two; where the ink is must not.
    int differing = 0, compared = 0, inked = 0, printedInk = 0;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2) {
            const QRgb a = printed.pixel(x, y), b = drawn.pixel(x, y);
            ++compared;
            inked += qGray(b) < 128;
            printedInk += qGray(a) < 128;
            differing += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                             std::abs(qBlue(a) - qBlue(b)) >
                         150;
        }
    EXPECT_GT(inked, 1000);
    // A missing box alone takes some 6% of the ink away, and puts as much out of place.
    EXPECT_NEAR(printedInk, inked, inked / 25);
    EXPECT_LT(differing, compared / 100);
    EXPECT_LT(differing, inked / 10) << differing << " of " << inked << " inked";
}

} // namespace
} // namespace palvex::test
