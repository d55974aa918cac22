// The PDF device's own writer: shapes print as the canvas draws them, text copies back as it was
// typed (mirrored brackets in right-to-left text too), and every document carries the host's
// title, author, subject and keywords, as an archive (PDF/A-2b) when asked.

#include "ControlFixture.h"
#include "PalvexPrivate.h"
#include "PdfCheck.h"

#include "platform/ImageSurface.h"
#include "platform/PdfOutputFile.h"
#include "platform/PdfSurface.h"
#include "platform/Printers.h"
#include "platform/pdf/ContentStream.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfPaintDevice.h"
#include "platform/pdf/PlainText.h"
#include "platform/pdf/TextDirection.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>

#include <gtest/gtest.h>

#ifndef PALVEX_RUN_PATH
#define PALVEX_RUN_PATH "palvex-run"
#endif

namespace palvex::test {
namespace {

QString runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool haveTool(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// The same drawing on any surface, in twips from the drawing area's corner.
void drawShapes(Surface& s, const QImage& picture) {
    s.setDrawWidth(3);
    s.setFillStyle(0);
    s.setFillColor(0x0000FF); // red boxes
    s.Line(100, 100, 700, 500, 0, true);
    s.setFillStyle(1);
    s.Line(900, 100, 1500, 500, 0x008000, true); // an empty green frame
    s.setDrawStyle(1);
    s.Line(100, 700, 1900, 700, 0, false); // dashed
    s.setDrawStyle(0);
    s.Line(100, 800, 1900, 1000, 0xFF0000, false); // a blue slope
    s.Circle(500, 1400, 300, 0);                   // outline
    s.setFillStyle(0);
    s.setFillColor(0);
    const Surface::Arc pie{-0.01f, -1.5f};
    s.Circle(1400, 1400, 300, 0, &pie);
    s.PaintPicture(picture, 100, 1800, 600, 150);
    s.setFillStyle(6); // a cross hatch
    s.setFillColor(0);
    s.Line(1000, 1750, 1900, 1950, 0, true);
}

QImage translucentPicture() {
    QImage image(40, 10, QImage::Format_ARGB32);
    image.fill(QColor(0, 0, 255));
    for (int x = 20; x < 40; ++x)
        for (int y = 0; y < 10; ++y)
            image.setPixelColor(x, y, QColor(0, 0, 255, 0));
    return image;
}

TEST(PdfDevice, ShapesPictureAndHatchesPrintAsTheCanvasDrawsThem) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("shapes.pdf"));
    const QImage picture = translucentPicture();

    ImageSurface canvas(1.0, 1.0); // a pixel a twip
    canvas.setScaleModeTwips();
    canvas.setWidth(2000);
    canvas.setHeight(2000);
    canvas.Cls();
    drawShapes(canvas, picture);

    const PrinterDevice device = Printers::pdfDevice();
    {
        PdfSurface printer(device, pdf);
        printer.begin();
        drawShapes(printer, picture);
        printer.EndDoc();
    }
    EXPECT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);
    // The drawing area's 2000 twips square at 1440 dpi: a pixel a twip, like the canvas.
    const QString png = dir.filePath(QStringLiteral("shapes"));
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("1440"), QStringLiteral("-x"),
             QString::number(int(device.left)), QStringLiteral("-y"),
             QString::number(int(device.top)), QStringLiteral("-W"), QStringLiteral("2000"),
             QStringLiteral("-H"), QStringLiteral("2000"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, png});
    const QImage printed =
        QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), QSize(2000, 2000));
    const QImage drawn = canvas.image().convertToFormat(QImage::Format_RGB32);

    // Away from the hatch, whose cell is the device's: edges may differ by a pixel or two.
    int differing = 0, compared = 0;
    for (int y = 0; y < 1700; y += 2)
        for (int x = 0; x < 2000; x += 2) {
            const QRgb a = printed.pixel(x, y), b = drawn.pixel(x, y);
            ++compared;
            differing += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                             std::abs(qBlue(a) - qBlue(b)) >
                         150;
        }
    EXPECT_LT(differing, compared / 100) << differing << " of " << compared;
    EXPECT_EQ(printed.pixel(400, 300), qRgb(255, 0, 0));      // the red box
    EXPECT_EQ(printed.pixel(1200, 300), qRgb(255, 255, 255)); // the empty frame
    EXPECT_EQ(printed.pixel(200, 1875), qRgb(0, 0, 255));     // the picture's opaque half
    EXPECT_EQ(printed.pixel(600, 1875), qRgb(255, 255, 255)); // and its transparent half

    int dashGaps = 0;
    for (int x = 150; x < 1850; ++x)
        dashGaps += qGray(printed.pixel(x, 700)) > 200;
    EXPECT_GT(dashGaps, 100);
    EXPECT_LT(dashGaps, 1500);

    int hatchInk = 0, hatchArea = 0;
    for (int y = 1760; y < 1940; ++y)
        for (int x = 1010; x < 1890; ++x, ++hatchArea)
            hatchInk += qGray(printed.pixel(x, y)) < 128;
    EXPECT_GT(hatchInk, hatchArea / 50);    // lines are there
    EXPECT_LT(hatchInk, hatchArea * 2 / 3); // and gaps between them
}

// The most dark lines crossed along any of 8 neighbouring rows from `at` (or columns, with
// `column`), between `from` and `to`: one of them runs between a hatch's lines, not on one.
int crossings(const QImage& image, bool column, int at, int from, int to) {
    int most = 0;
    for (int line = at; line < at + 8; ++line) {
        int count = 0;
        bool inLine = false;
        for (int t = from; t < to; ++t) {
            const bool dark = qGray(column ? image.pixel(line, t) : image.pixel(t, line)) < 200;
            count += dark && !inLine;
            inLine = dark;
        }
        most = std::max(most, count);
    }
    return most;
}

// The ink in `area`: each pixel's darkness, so that a line a reader smooths over two pixels
// weighs what it would on one.
double ink(const QImage& image, const QRect& area) {
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += (255 - qGray(image.pixel(x, y))) / 255.0;
    return sum / (area.width() * area.height());
}

TEST(PdfDevice, HatchesPrintAtThePreviewsPitchAndWidthAtAnyResolution) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    // Each hatch (FillStyle 2-7) in a box 100 x 80 preview pixels large.
    auto drawHatches = [](Surface& s) {
        for (int style = 2; style <= 7; ++style) {
            const int i = style - 2;
            s.setFillStyle(style);
            s.setFillColor(0);
            s.Line(300 + (i % 3) * 1800, 300 + (i / 3) * 1500, 1800 + (i % 3) * 1800,
                   1500 + (i / 3) * 1500, 0, true);
        }
    };
    ImageSurface canvas; // the preview's 15 twips a pixel
    canvas.setScaleModeTwips();
    canvas.setWidth(6000);
    canvas.setHeight(3300);
    canvas.Cls();
    drawHatches(canvas);
    const QImage shown = canvas.image().convertToFormat(QImage::Format_RGB32);

    const PrinterDevice device = Printers::pdfDevice();
    for (int quality : {300, 2400}) {
        SCOPED_TRACE(quality);
        const QString pdf = dir.filePath(QStringLiteral("hatches.pdf"));
        {
            PdfSurface printer(device, pdf);
            printer.setPrintQuality(quality);
            printer.begin();
            drawHatches(printer);
            printer.EndDoc();
        }
        ASSERT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);
        // Read at the preview's resolution, from the drawing area's corner.
        const QImage printed = renderedArea(
            pdf, 96, QRect(QPoint(int(device.left / 15), int(device.top / 15)), shown.size()));
        ASSERT_EQ(printed.size(), shown.size());
        for (int style = 2; style <= 7; ++style) {
            SCOPED_TRACE(style);
            const int i = style - 2;
            // Inside the box's border, in preview pixels: whole cells of the hatch.
            const QRect inside(20 + (i % 3) * 120 + 6, 20 + (i / 3) * 100 + 4, 88, 72);
            const int row = inside.center().y() - 4, column = inside.center().x() - 4;
            EXPECT_NEAR(crossings(printed, false, row, inside.left(), inside.right()),
                        crossings(shown, false, row, inside.left(), inside.right()), 1);
            EXPECT_NEAR(crossings(printed, true, column, inside.top(), inside.bottom()),
                        crossings(shown, true, column, inside.top(), inside.bottom()), 1);
            // Lines as thick as the preview's: as much ink, within 15 %.
            EXPECT_NEAR(ink(printed, inside) / ink(shown, inside), 1.0, 0.15);
        }
    }
}

// The bounds of the dark pixels in the top half of a page: where a report's one box lies.
QRect inkBounds(const QImage& page) {
    QRect bounds;
    for (int y = 0; y < page.height() / 2; ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(PdfDevice, AHatchPrintsAtThePreviewsPitchAtAnyZoom) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    for (const auto& [index, zoom] : {std::pair{3, 0.5}, std::pair{18, 2.0}}) {
        SCOPED_TRACE(zoom);
        // A cross-hatched box shown and printed at the zoom.
        QFile script(dir.filePath(QStringLiteral("zoomed.pvs")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(QStringLiteral("StartPalvexPrintPreview\n"
                                    "printBox 1000, 1000, 4000, 3000, 0, 0, 13, 1, 6, 0, \"\"\n"
                                    "printLastPage\n!select cboZoom %1\n!png shown.png\n"
                                    "!click cmd 1\n!select cboZoomPrinting 1\n!click cmdOK\n")
                         .arg(index)
                         .toUtf8());
        script.close();
        QProcess runner;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/palvex.sock"));
        runner.setProcessEnvironment(env);
        runner.setWorkingDirectory(dir.path());
        runner.start(QStringLiteral(PALVEX_RUN_PATH),
                     {QStringLiteral("--pdf"), dir.filePath(QStringLiteral("printed.pdf")),
                      script.fileName()});
        ASSERT_TRUE(runner.waitForFinished(60000));
        ASSERT_EQ(runner.exitCode(), 0) << runner.readAllStandardOutput().toStdString();
        const QImage shown = QImage(dir.filePath(QStringLiteral("shown.png")));
        // The page at the preview's 15 twips a pixel.
        const QImage printed = renderedArea(dir.filePath(QStringLiteral("printed.pdf")), 96,
                                            QRect(QPoint(), shown.size()));
        const QRect shownBox = inkBounds(shown), printedBox = inkBounds(printed);
        // The zoom makes the box larger or smaller in both, and leaves the hatch's pitch.
        EXPECT_NEAR(printedBox.width(), 3000 / 15 * zoom, 3);
        const QRect a = shownBox.adjusted(4, 4, -12, -12), b = printedBox.adjusted(4, 4, -12, -12);
        EXPECT_NEAR(crossings(printed, false, b.center().y(), b.left(), b.right()),
                    crossings(shown, false, a.center().y(), a.left(), a.right()), 1);
        EXPECT_NEAR(crossings(printed, true, b.center().x(), b.top(), b.bottom()),
                    crossings(shown, true, a.center().x(), a.top(), a.bottom()), 1);
        EXPECT_GE(crossings(shown, false, a.center().y(), a.left(), a.right()),
                  int(3000 / 15 * zoom / 8) - 2);
    }
}

// Nothing is drawn through a clip without area, and the file stays sound: an empty path, a
// rectangle of no size, two clips that do not meet.
TEST(PdfDevice, AnEmptyClipLetsNothingThrough) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("clipped.pdf"));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    {
        pdf::PdfDocument document(file, {QSizeF(200, 200), QRectF(0, 0, 200, 200)}, 72, {}, false);
        pdf::PdfPaintDevice device(document);
        QPainter painter(&device);
        const QImage picture = translucentPicture();
        auto drawEverything = [&] {
            painter.fillRect(QRectF(0, 0, 200, 100), Qt::black);
            painter.drawImage(QRectF(0, 0, 200, 100), picture);
            painter.setFont(QFont(QStringLiteral("Liberation Sans"), 40));
            painter.drawText(QPointF(10, 80), QStringLiteral("Clip"));
        };
        painter.setClipPath(QPainterPath());
        drawEverything();
        painter.setClipRect(QRectF(50, 50, 0, 0));
        drawEverything();
        painter.setClipRect(QRectF(0, 0, 20, 20));
        painter.setClipRect(QRectF(100, 100, 20, 20), Qt::IntersectClip);
        drawEverything();
        // The lower half, clipped to itself, shows that clipping draws at all.
        painter.setClipRect(QRectF(0, 150, 200, 50));
        painter.fillRect(QRectF(0, 100, 200, 100), Qt::black);
        painter.end();
        ASSERT_TRUE(document.finish());
    }
    file.close();
    ASSERT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);
    const QImage page = renderedArea(pdf, 72, QRect(0, 0, 200, 200));
    ASSERT_EQ(page.size(), QSize(200, 200));
    EXPECT_EQ(ink(page, QRect(0, 0, 200, 145)), 0.0);
    EXPECT_GT(ink(page, QRect(0, 155, 200, 40)), 0.99);

    // Asked for such a clip, a page writes one that has a path, as "W" needs.
    pdf::ContentStream content;
    content.start(QTransform());
    content.clip(QPainterPath());
    EXPECT_TRUE(content.take().endsWith("0 0 0 0 re W n\n"));
}

TEST(PlainText, OnlyTextsTheBidiAlgorithmLeavesInOneRunAreShapedDirectly) {
    using D = pdf::PlainDirection;
    const std::pair<const char*, D> cases[] = {
        {"קופה ראשית - תל אביב", D::RightToLeft},
        {"יתרה (חובה)", D::RightToLeft},
        {"מס׳ חשבון", D::RightToLeft},
        {"שָׁלוֹם", D::RightToLeft},
        {"مرحبا بالعالم", D::RightToLeft},
        {"1,029.47", D::LeftToRight},
        {"100000", D::LeftToRight},
        {"AB Trading Ltd 2026", D::LeftToRight},
        {"Data (CSV) export", D::LeftToRight},
        // A number beside Hebrew, Latin with a neutral end, a number with a neutral end,
        // controls: the bidi algorithm reorders these, so Qt lays them out.
        {"שוטף 30", D::Mixed},
        {"(חובה)", D::RightToLeft},
        {"-1-", D::Mixed},
        {"2026 Ltd", D::Mixed},
        {"Data migration (CSV)", D::Mixed}, // the closing bracket goes to the far left
        {"1,029.47 ₪", D::Mixed},
        {"א\u202bב", D::Mixed},
        {"", D::Mixed},
    };
    for (const auto& [text, direction] : cases)
        EXPECT_EQ(pdf::plainDirectionOf(QString::fromUtf8(text)), direction) << text;
}

// Readers rebuild a line from its glyphs shown left to right; where that cannot give back what
// was typed, the text carries it as /ActualText.
TEST(PdfDevice, TextsReadersCannotRebuildCarryWhatWasTyped) {
    const std::pair<const char*, bool> cases[] = {
        {"קופה ראשית", false}, // one direction: reversed back as typed
        {"1,029.47", false},   // a number reads as it is shown
        {"AB Trading Ltd", false},
        {"יתרה (חובה)", false},    // brackets inside a right-to-left text are its own
        {"שוטף 30", true},         // a number beside Hebrew: runs in visual order
        {"בְּרֵאשִׁית", true},          // points, placed where they are drawn
        {"-1,029.47", true},       // shown as "1,029.47-"
        {"T04 (abc) [def]", true}, // the right-to-left paragraph moves the end brackets
        {"(2026)", true},
        {"", false},
    };
    for (const auto& [text, needed] : cases)
        EXPECT_EQ(pdf::needsActualText(QString::fromUtf8(text)), needed) << text;
}

// The direct way and Qt's layout put the same glyphs at the same places, and copy back alike.
TEST(PdfDevice, TextsShapedDirectlyLandWhereQtsLayoutPutsThem) {
    if (!haveTool("pdftotext")) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QStringList texts{QString::fromUtf8("קופה ראשית - תל אביב"),
                            QString::fromUtf8("יתרה (חובה)"),
                            QString::fromUtf8("(חובה)"),
                            QStringLiteral("1,111.11"),
                            QStringLiteral("11111"),
                            QStringLiteral("-1,029.47"),
                            QStringLiteral("AB Trading Ltd (2026)"),
                            QString::fromUtf8("מס׳ חשבון")};
    auto print = [&](bool direct, bool bold) {
        const QString pdf = dir.filePath(QStringLiteral("%1%2.pdf").arg(direct).arg(bold));
        PdfSurface printer(Printers::pdfDevice(), pdf);
        printer.setPlainTextShaping(direct);
        printer.begin();
        printer.setFontName(QStringLiteral("Liberation Sans"));
        printer.setFontSize(10);
        printer.setFontBold(bold);
        double y = 500;
        for (const QString& text : texts) {
            printer.setCurrentX(1000.3f);
            printer.setCurrentY(float(y));
            printer.Print(text, false);
            y += 400;
        }
        printer.EndDoc();
        return runTool(QStringLiteral("pdftotext"),
                       {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    };
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"[0-9.]+\">([^<]+)</word>"));
    for (bool bold : {false, true}) {
        SCOPED_TRACE(bold ? "bold" : "regular");
        const QString direct = print(true, bold), laidOut = print(false, bold);
        auto directWords = word.globalMatch(direct), laidOutWords = word.globalMatch(laidOut);
        int words = 0;
        while (directWords.hasNext() && laidOutWords.hasNext()) {
            const auto a = directWords.next(), b = laidOutWords.next();
            EXPECT_EQ(a.captured(4), b.captured(4));
            for (int i = 1; i <= 3; ++i)
                EXPECT_NEAR(a.captured(i).toDouble(), b.captured(i).toDouble(), 0.01)
                    << qPrintable(a.captured(4));
            ++words;
        }
        EXPECT_FALSE(directWords.hasNext() || laidOutWords.hasNext());
        EXPECT_GE(words, 15); // whole words: each line's glyphs are shown left to right
    }
}

class PdfDocument : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        if (!haveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils is not installed";
    }
    QString exported(const char* name) {
        const QString file = path(name);
        QString target = file;
        EXPECT_EQ(ctl().ExportPdf(target), Status::Ok);
        return file;
    }
    static QString info(const QString& pdf, bool metadata = false) {
        QStringList args{pdf};
        if (metadata) args.prepend(QStringLiteral("-meta"));
        return runTool(QStringLiteral("pdfinfo"), args);
    }
    // The document's objects as qpdf describes them.
    static QString objects(const QString& pdf) {
        return runTool(QStringLiteral("qpdf"),
                       {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"), pdf,
                        QStringLiteral("-")});
    }
};

TEST_F(PdfDocument, ThePropertiesGoIntoTheInformationAndTheMetadata) {
    QString value;
    EXPECT_EQ(ctl().get_DocumentTitle(out(value)), Status::Ok);
    EXPECT_TRUE(value.isEmpty());
    bool archive = true;
    EXPECT_EQ(ctl().get_PdfArchive(out(archive)), Status::Ok);
    EXPECT_FALSE(archive);

    start();
    EXPECT_EQ(text(QString::fromUtf8("שורה אחת")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString plain = exported("plain.pdf");
    EXPECT_FALSE(info(plain).contains(QStringLiteral("Title:")));
    EXPECT_FALSE(objects(plain).contains(QStringLiteral("/OutputIntents")));

    const QString title = QString::fromUtf8("מאזן בוחן 2026 (Trial balance) <A&B>");
    EXPECT_EQ(ctl().let_DocumentTitle(title), Status::Ok);
    EXPECT_EQ(ctl().let_DocumentAuthor(QString::fromUtf8("א.ב. מסחר")), Status::Ok);
    EXPECT_EQ(ctl().let_DocumentSubject(QStringLiteral("Year end")), Status::Ok);
    EXPECT_EQ(ctl().let_DocumentKeywords(QString::fromUtf8("מאזן, trial balance")), Status::Ok);
    const QString pdf = exported("described.pdf");
    EXPECT_TRUE(qpdfCheck(pdf).clean());
    const QString described = info(pdf);
    EXPECT_TRUE(described.contains(QStringLiteral("Title:           ") + title))
        << qPrintable(described);
    EXPECT_TRUE(described.contains(QString::fromUtf8("Author:          א.ב. מסחר")));
    EXPECT_TRUE(described.contains(QStringLiteral("Subject:         Year end")));
    EXPECT_TRUE(described.contains(QString::fromUtf8("Keywords:        מאזן, trial balance")));
    const QString xmp = info(pdf, true);
    EXPECT_TRUE(xmp.contains(QString::fromUtf8("מאזן בוחן 2026 (Trial balance) &lt;A&amp;B&gt;")))
        << qPrintable(xmp);
    EXPECT_TRUE(xmp.contains(QStringLiteral("<pdf:Keywords>")));
    EXPECT_FALSE(xmp.contains(QStringLiteral("pdfaid")));
}

TEST_F(PdfDocument, AnArchiveHasItsOutputIntentMetadataAndEveryFontEmbedded) {
    EXPECT_EQ(ctl().let_CodePage(65001), Status::Ok);
    EXPECT_EQ(ctl().let_PdfArchive(true), Status::Ok);
    EXPECT_EQ(ctl().let_DocumentTitle(QStringLiteral("Archive")), Status::Ok);
    start();
    EXPECT_EQ(text(QString::fromUtf8("שלום - مرحبا - Привет")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = exported("archive.pdf");
    EXPECT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);

    const QString xmp = info(pdf, true);
    EXPECT_TRUE(xmp.contains(QStringLiteral("<pdfaid:part>2</pdfaid:part>")));
    EXPECT_TRUE(xmp.contains(QStringLiteral("<pdfaid:conformance>B</pdfaid:conformance>")));
    EXPECT_TRUE(xmp.contains(QStringLiteral("Archive"))); // matches the information's title
    const QString all = objects(pdf);
    EXPECT_TRUE(all.contains(QStringLiteral("/OutputIntents")));
    EXPECT_TRUE(all.contains(QStringLiteral("/S /GTS_PDFA1")));
    EXPECT_TRUE(all.contains(QStringLiteral("/DestOutputProfile")));
    EXPECT_TRUE(all.contains(QStringLiteral("/ID [")));
    const QStringList fonts =
        runTool(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n')).mid(2);
    int embedded = 0;
    for (const QString& font : fonts) {
        if (font.trimmed().isEmpty()) continue;
        EXPECT_TRUE(font.contains(QStringLiteral(" yes yes yes "))) << qPrintable(font);
        ++embedded;
    }
    EXPECT_GE(embedded, 2);
}

TEST_F(PdfDocument, ScriptsDescribeTheirDocuments) {
    QFile script(path("described.pvs"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    const QByteArray lines = "CodePage = 65001\nDocumentTitle = \"דוח (שנתי)\"\n"
                             "DocumentAuthor = \"Finance\"\nPdfArchive = true\n"
                             "StartPalvexPrintPreview\nprintText \"אחד\", 2\nprintLastPage\n"
                             "ExportPdf \"script.pdf\"\n? PdfArchive\n";
    ASSERT_EQ(script.write(lines), lines.size());
    script.close();
    QProcess runner;
    runner.setWorkingDirectory(m_dir.path());
    runner.start(QStringLiteral(PALVEX_RUN_PATH), {path("described.pvs")});
    ASSERT_TRUE(runner.waitForFinished(60000));
    EXPECT_EQ(runner.exitCode(), 0);
    EXPECT_EQ(runner.readAllStandardOutput(), QByteArray("PdfArchive = true\n"));
    const QString described = info(path("script.pdf"));
    EXPECT_TRUE(described.contains(QString::fromUtf8("Title:           דוח (שנתי)")));
    EXPECT_TRUE(described.contains(QStringLiteral("Author:          Finance")));
    EXPECT_TRUE(info(path("script.pdf"), true).contains(QStringLiteral("pdfaid:part")));
}

// Mirrored characters are drawn with their twin's glyph; the text layer must still say what
// was typed, whether a reader sorts glyphs by position or follows the content.
TEST_F(PdfDocument, MirroredCharactersInRightToLeftTextCopyBackAsTyped) {
    EXPECT_EQ(ctl().let_CodePage(65001), Status::Ok);
    start();
    const QStringList lines{QString::fromUtf8("יתרה (חובה)"), QString::fromUtf8("סכום [א] {ב} <ג>"),
                            QString::fromUtf8("ייצוא (CSV) לקובץ"),
                            QString::fromUtf8("مرحبا بالعالم (اختبار)")};
    for (const QString& line : lines)
        EXPECT_EQ(right(line, A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = exported("brackets.pdf");
    auto withoutMarks = [](QString text) {
        for (const char16_t mark : {u'\u202a', u'\u202b', u'\u202c', u'\u202d', u'\u202e'})
            text.remove(QChar(mark));
        return text;
    };
    // Poppler orders a line by the glyphs' places and directions: a right-to-left line reads
    // whole; in a line mixing directions its words are all there.
    const QString popplerText = withoutMarks(pdfText(pdf));
    for (const QString& line : lines) {
        if (line.contains(QStringLiteral("CSV"))) {
            for (const QString& word :
                 {QString::fromUtf8("ייצוא"), QStringLiteral("CSV"), QString::fromUtf8("לקובץ")})
                EXPECT_TRUE(popplerText.contains(word)) << qPrintable(word);
            continue;
        }
        EXPECT_TRUE(popplerText.contains(line)) << qPrintable(line) << "\n"
                                                << qPrintable(popplerText);
    }
    if (!haveTool("mutool")) GTEST_SKIP() << "mupdf-tools is not installed";
    const QString mupdfText =
        runTool(QStringLiteral("mutool"),
                {QStringLiteral("draw"), QStringLiteral("-F"), QStringLiteral("txt"), pdf});
    // MuPDF 1.21 follows the content, which is shown left to right: a right-to-left line reads
    // reversed, each bracket still the one that was typed (so it faces the other way).
    for (const QString& line : {lines[0], lines[1]}) {
        QString reversed = line;
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_TRUE(mupdfText.contains(reversed)) << qPrintable(reversed) << "\n"
                                                  << qPrintable(mupdfText);
    }
}

// Culmus ships OpenType fonts with CFF outlines, embedded as such: they must copy back too.
TEST_F(PdfDocument, TextInAFontWithCffOutlinesIsEmbeddedAndCopiesBack) {
    const QString fontFile =
        runTool(QStringLiteral("fc-match"),
                {QStringLiteral("-f"), QStringLiteral("%{file}"), QStringLiteral("Nachlieli CLM")});
    if (!fontFile.endsWith(QStringLiteral(".otf"))) GTEST_SKIP() << "no CFF Culmus font";
    EXPECT_EQ(ctl().let_CodePage(65001), Status::Ok);
    start();
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Nachlieli CLM")), Status::Ok);
    EXPECT_EQ(right(QString::fromUtf8("שלום עולם 2026"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = exported("cff.pdf");
    EXPECT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);
    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("Nachlieli"))) << qPrintable(fonts);
    for (const QString& font : fonts.split(QLatin1Char('\n')).mid(2)) {
        if (font.contains(QStringLiteral("Nachlieli"))) {
            EXPECT_TRUE(font.contains(QStringLiteral(" yes yes yes "))) << qPrintable(font);
        }
    }
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QString::fromUtf8("שלום"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QString::fromUtf8("עולם")));
}

// Pages are compressed on other threads and come back in their order, each with its own text.
// A host that records and exports without showing the preview never pays for its canvas; the
// first page is there all the same when someone looks.
TEST_F(PdfDocument, ManyPagesKeepTheirOrderAndTheirOwnText) {
    start();
    constexpr int Pages = 40;
    for (int page = 1; page <= Pages; ++page) {
        EXPECT_EQ(text(QStringLiteral("page %1 of the report").arg(page), A2_JumpToNextLine),
                  Status::Ok);
        ASSERT_EQ(page < Pages ? ctl().printPage() : ctl().printLastPage(), Status::Ok);
    }
    const QString pdf = exported("pages.pdf");
    EXPECT_TRUE(qpdfCheck(pdf).clean());
    EXPECT_FALSE(ctl().internals().canvas().holdsPixels());
    const QImage page1 = ctl().internals().canvasImage();
    int inked = 0;
    for (int y = 0; y < page1.height(); ++y)
        for (int x = 0; x < page1.width(); ++x)
            inked += qGray(page1.pixel(x, y)) < 128;
    EXPECT_GT(inked, 50); // "page 1 of the report"
    QStringList pages = pdfText(pdf).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    ASSERT_EQ(pages.size(), Pages);
    for (int page = 1; page <= Pages; ++page)
        EXPECT_TRUE(pages[page - 1].contains(QStringLiteral("page %1 of the report").arg(page)))
            << page;
}

// The finished document is read back through its cross-reference stream before it replaces
// the target: a byte lost anywhere before it, or a cut end, keeps the old file.
TEST(PdfOutputFileCheck, KeepsOnlyADocumentWhoseObjectsAreWhereItsCrossReferenceSays) {
    QTemporaryDir dir;
    const QString written = dir.filePath(QStringLiteral("written.pdf"));
    {
        PdfSurface pdf(Printers::pdfDevice(), written);
        pdf.begin();
        for (int page = 0; page < 3; ++page) {
            if (page > 0) pdf.NewPage();
            pdf.beginItem({.role = ItemRole::Body, .startsElement = true}, {});
            pdf.Print(QString::fromUtf8("שורה %1").arg(page), false);
            pdf.endItem();
        }
        pdf.EndDoc();
    }
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    const qsizetype xref = whole.lastIndexOf("startxref");
    ASSERT_GT(xref, 0);
    auto kept = [&](const QByteArray& bytes) {
        const QString target = dir.filePath(QStringLiteral("target.pdf"));
        QFile::remove(target);
        PdfOutputFile out(target);
        if (!out.create()) return false;
        QFile temporary(out.temporaryPath());
        if (!temporary.open(QIODevice::WriteOnly) || temporary.write(bytes) != bytes.size())
            return false;
        temporary.close();
        const bool committed = out.commit();
        EXPECT_EQ(committed, QFile::exists(target));
        return committed;
    };
    EXPECT_TRUE(kept(whole));
    EXPECT_FALSE(kept(QByteArray(whole).remove(whole.size() / 2, 1))); // a lost byte
    EXPECT_FALSE(kept(whole.left(whole.size() - 20)));                 // a cut end
    // The cross-reference stream itself damaged.
    QByteArray damaged = whole;
    const qsizetype data = whole.lastIndexOf(">>\nstream\n", xref) + 10;
    damaged[data + 4] = char(damaged[data + 4] ^ 0x5A);
    EXPECT_FALSE(kept(damaged));
}

} // namespace
} // namespace palvex::test
