// Pictures at print resolution: measured from their headers as their decodes measure them,
// decoded at the size they are drawn at, held once, and a page scanned at 600 dpi recorded,
// shown and printed; a header that claims too many pixels has its own message.

#include "ControlFixture.h"
#include "PdfCheck.h"
#include "TestPictures.h"

#include "platform/PictureFile.h"
#include "recording/ShapeParams.h"
#include "replay/PictureCache.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QStandardPaths>

namespace palvex::test {
namespace {

// What the control measured before it read headers: the decoded image's own pixels and dpi.
std::pair<double, double> decodedSizeHmm(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    auto dpi = [](int dpm) { return dpm > 0 ? dpm * 0.0254 : 96.0; };
    return {image.width() * 2540.0 / dpi(image.dotsPerMeterX()),
            image.height() * 2540.0 / dpi(image.dotsPerMeterY())};
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// An A4 page scanned at 600 dpi, written once for every test here (it takes a second).
struct Scan {
    QString path;
    ScannedPage page;
};
const Scan& scan600() {
    static QTemporaryDir dir;
    static const Scan scan{dir.filePath(QStringLiteral("scan600.png")),
                           writeScannedPage(dir.filePath(QStringLiteral("scan600.png")), 600)};
    return scan;
}

class PictureFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(PictureFileTest, TheHeaderMeasuresEveryFormatAsItsDecodeDoes) {
    QImage image(37, 23, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    auto save = [&](const char* name, const char* format, int dpmX, int dpmY) {
        QImage copy = image;
        copy.setDotsPerMeterX(dpmX);
        copy.setDotsPerMeterY(dpmY);
        EXPECT_TRUE(copy.save(path(QString::fromLatin1(name)), format)) << name;
        return path(QString::fromLatin1(name));
    };
    QStringList files = {
        save("uneven.png", "PNG", 11811, 5000),       save("inch.jpg", "JPEG", 11811, 11811),
        save("centimetre.jpg", "JPEG", 10000, 20000), save("plain.bmp", "BMP", 3000, 6000),
        save("any.ppm", "PPM", 9000, 9000),           save("any.xpm", "XPM", 9000, 9000),
        save("icon.ico", "ICO", 9000, 9000)};
    // Headers that state nothing: a PNG without its pHYs chunk, a BMP with no pixels per metre.
    QByteArray png = fileBytes(save("bare.png", "PNG", 11811, 11811));
    png.remove(png.indexOf("pHYs") - 4, 4 + 4 + 9 + 4);
    ASSERT_TRUE(writeBytes(path(QStringLiteral("bare.png")), png));
    QByteArray bmp = fileBytes(save("bare.bmp", "BMP", 3000, 3000));
    bmp.replace(38, 8, QByteArray(8, '\0'));
    ASSERT_TRUE(writeBytes(path(QStringLiteral("bare.bmp")), bmp));
    files << path(QStringLiteral("bare.png")) << path(QStringLiteral("bare.bmp"));
    for (const QString& file : files) {
        const PictureFile picture = PictureFile::open(file);
        ASSERT_TRUE(picture.readable()) << file.toStdString();
        const auto [width, height] = decodedSizeHmm(file);
        EXPECT_DOUBLE_EQ(picture.widthHmm, width) << file.toStdString();
        EXPECT_DOUBLE_EQ(picture.heightHmm, height) << file.toStdString();
        EXPECT_EQ(picture.pixels, QSize(37, 23));
    }
}

TEST_F(PictureFileTest, ADecodeIsAtTheSizeAskedGreyInOneByteAndShrunkAsQtWould) {
    const int limit = QImageReader::allocationLimit();
    const ScannedPage& page = scan600().page;
    const PictureFile picture = PictureFile::open(scan600().path);
    ASSERT_TRUE(picture.readable());
    EXPECT_EQ(picture.pixels, QSize(page.width, page.height));
    const QImage small = picture.decode(QSize(page.width / 6, page.height / 6));
    EXPECT_EQ(small.size(), QSize(page.width / 6, page.height / 6));
    EXPECT_EQ(small.format(), QImage::Format_Grayscale8);
    EXPECT_LT(qGray(small.pixel(page.rule.center() / 6)), 128) << "the rule is there";
    EXPECT_EQ(QImageReader::allocationLimit(), limit) << "the host's limit is put back";

    // A grey scan is read whole and shrunk in steps, its ink where the page has it, as Qt's
    // scaling of the whole would put it.
    const QString grey = path(QStringLiteral("grey.png"));
    const ScannedPage greyPage = writeScannedPage(grey, 150, QImage::Format_Grayscale8);
    const QSize size(greyPage.width * 3 / 7, greyPage.height * 3 / 7);
    const QImage steps = PictureFile::open(grey).decode(size);
    const QImage whole = QImage(grey).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    ASSERT_EQ(steps.size(), size);
    auto at = [&](QPoint p, int dx, int dy) {
        return qGray(steps.pixel(p.x() * 3 / 7 + dx, p.y() * 3 / 7 + dy));
    };
    const QPoint rule = greyPage.rule.center(),
                 edge(greyPage.box.left(), greyPage.box.center().y());
    EXPECT_LT(at(rule, 0, 0), 100);
    EXPECT_GT(at(rule, 0, -4), 240);
    EXPECT_GT(at(rule, 0, 4), 240);
    EXPECT_LT(at(edge, 0, 0), 160);
    EXPECT_GT(at(edge, -4, 0), 240);
    EXPECT_GT(at(edge, 4, 0), 240);
    int64_t difference = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            difference += std::abs(qGray(steps.pixel(x, y)) - qGray(whole.pixel(x, y)));
    EXPECT_LT(double(difference) / (size.width() * size.height()), 1.0);
}

TEST_F(PictureFileTest, TheCacheHoldsAPictureAtPrintResolutionOnceAndFollowsItsFile) {
    auto colourPage = [&](const char* name, QColor colour) {
        QImage image(1000, 1000, QImage::Format_RGB32);
        image.fill(colour);
        image.save(path(QString::fromLatin1(name)));
        return PictureFile::open(path(QString::fromLatin1(name)));
    };
    const PictureFile first = colourPage("first.png", Qt::red);
    const PictureFile second = colourPage("second.png", Qt::blue);
    PictureCache cache(6'000'000); // one whole picture of 4 MB and small ones
    const QImage firstWhole = cache.pixels(first, first.pixels);
    EXPECT_EQ(cache.pixels(first, first.pixels).cacheKey(), firstWhole.cacheKey());
    const QImage firstSmall = cache.pixels(first, QSize(100, 100));
    cache.pixels(second, second.pixels);
    EXPECT_LE(cache.bytes(), 6'000'000);
    EXPECT_EQ(cache.bytes(), 4'000'000 + 40'000) << "the second whole one and the small one";
    EXPECT_EQ(cache.pixels(first, QSize(100, 100)).cacheKey(), firstSmall.cacheKey());

    // The file changes under the same name: it is measured and its pixels read again.
    EXPECT_EQ(cache.file(first.path).modified, first.modified);
    colourPage("first.png", Qt::green);
    QFile file(first.path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(first.modified.addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    EXPECT_TRUE(first.decode(QSize(100, 100)).isNull()) << "not the version measured";
    const PictureFile changed = cache.file(first.path);
    EXPECT_EQ(cache.pixels(changed, QSize(100, 100)).pixelColor(50, 50), QColor(Qt::green));
}

// A control recording the page scanned at 600 dpi.
class PrintResolutionPicture : public ControlFixture {
protected:
    // Made on first use: a test of another picture does without.
    static QString scan() { return scan600().path; }
    static const ScannedPage& page() { return scan600().page; }

    void SetUp() override {
        ControlFixture::SetUp();
        PictureCache::instance().clear();
        m_platform.printers->setPdfOutputPath(path("printed.pdf"));
        start();
    }
    // The scan scaled into the printable width, as a letterhead is placed.
    Status letterhead() {
        const float width = ctl().internals().recordingSurface().ScaleWidth();
        const bool keep = true;
        const int16_t left = A3_AlignLeft;
        return ctl().printPictureSized(scan(), width, width * 1.4f, &keep, &left);
    }
    // pdfimages' lines for the images of a PDF, and its check by qpdf.
    static QStringList images(const QString& pdf) {
        EXPECT_TRUE(qpdfCheck(pdf).clean()) << qpdfCheck(pdf).output.toStdString();
        return popplerOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .mid(2);
    }
};

TEST_F(PrintResolutionPicture, RecordsItsTrueSizeFromTheFileWithoutAMessage) {
    QString name = scan();
    ASSERT_GT(page().width, 0);
    ASSERT_EQ(ctl().printPicture(name, AlignPicHorizontalType(0), AlignPicVerticalType(0)),
              Status::Ok);
    EXPECT_TRUE(boxes().log().empty());
    ASSERT_EQ(store().itemCount(), 1);
    const PictureParams stored = PictureParams::decode(item(1).ItemText);
    const double dpi = page().dotsPerMeter * 0.0254;
    EXPECT_NEAR(stored.width, page().width * 2540.0 / dpi, 0.01); // 210 mm
    EXPECT_NEAR(stored.height, page().height * 2540.0 / dpi, 0.01);
    EXPECT_EQ(PictureCache::instance().bytes(), 0) << "recording decodes nothing";
}

TEST_F(PrintResolutionPicture, ShowsOnTheCanvasFromASmallDecode) {
    ASSERT_EQ(letterhead(), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QImage& canvas = ctl().internals().canvasImage();
    // The page number's line is the only other ink; above it, everything dark is the scan's.
    int ink = 0;
    for (int y = 0; y < canvas.height() * 4 / 5; ++y)
        for (int x = 0; x < canvas.width(); ++x)
            ink += qGray(canvas.pixel(x, y)) < 128;
    EXPECT_GT(ink, 2000);
    EXPECT_LT(PictureCache::instance().bytes(), 8 << 20) << "a screen's pixels, not the scan's";
}

TEST_F(PrintResolutionPicture, ExportsAndPrintsAtPrintResolution) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    ASSERT_EQ(letterhead(), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    ASSERT_EQ(ctl().ExportPdf(path("export.pdf")), Status::Ok);
    ASSERT_EQ(ctl().PrintReport(), Status::Ok);
    for (const char* pdf : {"export.pdf", "printed.pdf"}) {
        const QStringList list = images(path(pdf));
        ASSERT_EQ(list.size(), 1) << pdf;
        // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
        const QStringList columns = list[0].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(columns.size(), 14);
        EXPECT_EQ(columns[5], QStringLiteral("gray")) << "a scan in one byte a pixel";
        EXPECT_GE(columns[12].toInt(), 300) << pdf;
        EXPECT_LE(columns[12].toInt(), 601) << pdf;
        EXPECT_LE(columns[3].toInt(), page().width);
    }
    EXPECT_LE(PictureCache::instance().bytes(), PictureCache::MaxBytes);
}

TEST_F(PrintResolutionPicture, AHugeHeaderIsTooLargeAndABrokenFileStaysInvalid) {
    ASSERT_EQ(ctl().let_MessagesToHost(true), Status::Ok);
    // The last warning after printing `file`; the call itself always succeeds.
    auto warningFor = [&](const QString& file) {
        QString name = file, last;
        EXPECT_EQ(ctl().printPicture(name, AlignPicHorizontalType(0), AlignPicVerticalType(0)),
                  Status::Ok);
        EXPECT_EQ(ctl().get_LastMessage(out(last)), Status::Ok);
        return last;
    };
    const QString huge = path("huge.png");
    ASSERT_TRUE(writeHugeHeaderPng(huge, 100000, 100000));
    const float y = ctl().internals().recordingSurface().CurrentY();
    EXPECT_EQ(warningFor(huge), QStringLiteral("You defined a bitmap file named ") + huge +
                                    QString::fromUtf8("\nwhich is too large: 100000×100000 "
                                                      "pixels,\ntherefore it would not be "
                                                      "presented"));
    EXPECT_EQ(store().itemCount(), 0);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentY(), y);

    ASSERT_TRUE(writeBytes(path("cut.png"), fileBytes(huge).left(30)));
    QString last = warningFor(path("cut.png"));
    EXPECT_TRUE(last.contains(QStringLiteral("which is invalid picture"))) << last.toStdString();
    EXPECT_EQ(store().itemCount(), 0);

    // A whole header over damaged pixels: invalid too, not recorded to be left off the page.
    QImage noise(300, 300, QImage::Format_RGB32);
    for (int yy = 0; yy < noise.height(); ++yy)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, yy, qRgb((x * 7 + yy) % 256, (x ^ yy) % 256, (x * yy) % 256));
    ASSERT_TRUE(noise.save(path("whole.png")));
    QByteArray damaged = fileBytes(path("whole.png"));
    for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    ASSERT_TRUE(writeBytes(path("damaged.png"), damaged));
    last = warningFor(path("damaged.png"));
    EXPECT_TRUE(last.contains(QStringLiteral("which is invalid picture"))) << last.toStdString();
    EXPECT_EQ(store().itemCount(), 0);
    // The sound file records.
    (void)warningFor(path("whole.png"));
    EXPECT_EQ(store().itemCount(), 1);
}

} // namespace
} // namespace palvex::test
