// Pictures in the PDF: a JPEG goes in as the file's own bytes, a grey picture in one byte a
// pixel, and every kind of picture (JPEG, grey, 16-bit, palette, translucent) prints as the
// preview shows it. A JPEG's header decides whether every reader would draw its bytes as Qt does.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "platform/ImageSurface.h"
#include "platform/PdfSurface.h"
#include "platform/PictureFile.h"
#include "platform/Printers.h"
#include "platform/pdf/JpegFrame.h"
#include "replay/PictureCache.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <array>
#include <cmath>
#include <optional>

namespace palvex::test {
namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A photograph's worth of detail: gradients under noise, which JPEG keeps small and deflate
// cannot.
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int n = noise.bounded(24);
            image.setPixel(x, y,
                           qRgb(std::min(255, x * 230 / width + n),
                                std::min(255, y * 230 / height + n),
                                int(128 + 100 * std::sin(x / 9.0))));
        }
    return image;
}

bool save(const QImage& image, const QString& path, bool progressive = false) {
    QImageWriter writer(path);
    writer.setQuality(85);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image);
}

struct Picture {
    const char* file;
    QImage image;
    const char* color; // as pdfimages names the image's colours
    const char* encoding;
};

// Every kind of picture a report shows, 120 x 80 pixels.
std::vector<Picture> pictures() {
    const QImage colour = photo(120, 80);
    QImage translucent = colour.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 80; ++y)
        for (int x = 60; x < 120; ++x)
            translucent.setPixel(x, y, qRgba(0, 0, 255, (x - 60) * 4));
    const QImage grey = colour.convertToFormat(QImage::Format_Grayscale8);
    return {
        {"photo.jpg", colour, "rgb", "jpeg"},
        {"grey.jpg", grey, "gray", "jpeg"},
        {"progressive.jpg", colour, "rgb", "jpeg"},
        {"grey.png", grey, "gray", "image"},
        {"grey-as-rgb.png", grey.convertToFormat(QImage::Format_RGB32), "gray", "image"},
        {"deep.png", colour.convertToFormat(QImage::Format_RGBX64), "rgb", "image"},
        {"deep-grey.png", grey.convertToFormat(QImage::Format_Grayscale16), "gray", "image"},
        {"palette.png", colour.convertToFormat(QImage::Format_Indexed8), "rgb", "image"},
        {"translucent.png", translucent, "rgb", "image"},
    };
}

// The lines of pdfimages -list after its heading, each cut into its columns (page num type
// width height color comp bpc enc ...).
std::vector<QStringList> imageList(const QString& pdf) {
    std::vector<QStringList> rows;
    const QStringList lines =
        popplerOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(2))
        rows.push_back(line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    return rows;
}

TEST(PdfPictures, EveryKindPrintsAsThePreviewShowsItAndAJpegKeepsItsBytes) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const std::vector<Picture> kinds = pictures();
    for (const Picture& p : kinds)
        ASSERT_TRUE(save(p.image, dir.filePath(QString::fromLatin1(p.file)),
                         QByteArray(p.file).startsWith("progressive")))
            << p.file;

    // Drawn at one pixel of the preview a pixel of the picture, in two columns.
    ImageSurface canvas; // the preview's 15 twips a pixel
    canvas.setScaleModeTwips();
    canvas.setWidth(6000);
    canvas.setHeight(7200);
    canvas.Cls();
    const PrinterDevice device = Printers::pdfDevice();
    const QString pdf = dir.filePath(QStringLiteral("pictures.pdf"));
    std::vector<QRect> places; // in the preview's pixels
    {
        PdfSurface printer(device, pdf);
        printer.begin();
        for (size_t i = 0; i < kinds.size(); ++i) {
            const PictureFile file =
                PictureFile::open(dir.filePath(QString::fromLatin1(kinds[i].file)));
            const QImage pixels = file.decode(file.pixels);
            ASSERT_FALSE(pixels.isNull()) << kinds[i].file;
            const QRect place(100 + int(i % 2) * 130, 10 + int(i / 2) * 90, 120, 80);
            places.push_back(place);
            for (Surface* s : {static_cast<Surface*>(&canvas), static_cast<Surface*>(&printer)})
                s->PaintPicture(pixels, place.x() * 15.f, place.y() * 15.f, 1800, 1200);
        }
        printer.EndDoc();
    }
    ASSERT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);

    // Each picture's colours and encoding; the smask of the translucent one last.
    const std::vector<QStringList> list = imageList(pdf);
    ASSERT_EQ(list.size(), kinds.size() + 1);
    for (size_t i = 0; i < kinds.size(); ++i) {
        ASSERT_GE(list[i].size(), 9);
        EXPECT_EQ(list[i][5], QLatin1String(kinds[i].color)) << kinds[i].file;
        EXPECT_EQ(list[i][8], QLatin1String(kinds[i].encoding)) << kinds[i].file;
    }
    EXPECT_EQ(list.back()[2], QStringLiteral("smask"));

    // The JPEGs' streams are their files, byte for byte (pdfimages -j writes them as they are).
    popplerOutput(QStringLiteral("pdfimages"),
                  {QStringLiteral("-j"), pdf, dir.filePath(QStringLiteral("embedded"))});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(fileBytes(dir.filePath(
                      QStringLiteral("embedded-%1.jpg").arg(i, 3, 10, QLatin1Char('0')))),
                  fileBytes(dir.filePath(QString::fromLatin1(kinds[size_t(i)].file))))
            << kinds[size_t(i)].file;

    // The drawing area at the preview's resolution.
    const QImage printed =
        renderedArea(pdf, 96, QRect(int(device.left / 15), int(device.top / 15), 400, 480));
    const QImage shown = canvas.image().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(printed.isNull());
    // The mean colour of each block of 8 x 8 pixels inside each picture: a reader may place a
    // picture's edge a pixel away from where the preview does, which a pixel's colour would show
    // and a block's mean does not.
    auto blockMean = [](const QImage& image, int left, int top) {
        int sums[3] = {};
        for (int y = top; y < top + 8; ++y)
            for (int x = left; x < left + 8; ++x) {
                const QRgb c = image.pixel(x, y);
                sums[0] += qRed(c), sums[1] += qGreen(c), sums[2] += qBlue(c);
            }
        return std::array<double, 3>{sums[0] / 64.0, sums[1] / 64.0, sums[2] / 64.0};
    };
    for (size_t i = 0; i < kinds.size(); ++i) {
        double difference = 0;
        int blocks = 0;
        for (int y = places[i].top() + 4; y + 12 <= places[i].bottom(); y += 8)
            for (int x = places[i].left() + 4; x + 12 <= places[i].right(); x += 8, ++blocks) {
                const auto a = blockMean(printed, x, y), b = blockMean(shown, x, y);
                for (int c = 0; c < 3; ++c)
                    difference += std::abs(a[size_t(c)] - b[size_t(c)]);
            }
        // A few levels of 255: the same colours, decoded by two decoders.
        EXPECT_LT(difference / (blocks * 3), 4) << kinds[i].file;
    }
}

// The file with an Exif orientation of 180 degrees: Qt decodes it turned.
QByteArray turnedJpeg(const QByteArray& jpeg) {
    const QByteArray exif("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x03\0\0"
                          "\0\0\0\0",
                          32);
    const int length = int(exif.size()) + 2;
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + exif + jpeg.mid(2);
}

TEST(PdfPictures, OnlyADecodeOfTheJpegAsItIsCarriesItsBytes) {
    QTemporaryDir dir;
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(save(photo(120, 80), jpeg));
    const QByteArray bytes = fileBytes(jpeg);
    PictureFile file = PictureFile::open(jpeg);
    const QImage whole = file.decode(file.pixels);
    EXPECT_EQ(PictureFile::jpegBytesOf(whole), bytes);
    EXPECT_EQ(PictureFile::jpegBytesOf(file.decode(QSize(60, 40))), bytes); // the PDF decides
    EXPECT_EQ(PictureFile::jpegBytesOf(whole.convertToFormat(QImage::Format_ARGB32)), bytes);
    EXPECT_TRUE(PictureFile::jpegBytesOf(whole.copy(0, 0, 60, 80)).isEmpty()); // a part

    // Turned by its Exif orientation: its bytes would show it upside down.
    const QString turned = dir.filePath(QStringLiteral("turned.jpg"));
    QFile out(turned);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(turnedJpeg(bytes)) > 0);
    out.close();
    file = PictureFile::open(turned);
    const QImage upright = file.decode(file.pixels);
    ASSERT_FALSE(upright.isNull());
    EXPECT_EQ(upright.pixel(0, 0), whole.pixel(119, 79)) << "the decode is turned";
    EXPECT_TRUE(PictureFile::jpegBytesOf(upright).isEmpty());

    // A file written again since its decode, and a PNG.
    ASSERT_TRUE(save(photo(160, 80), jpeg));
    EXPECT_TRUE(PictureFile::jpegBytesOf(whole).isEmpty());
    const QString png = dir.filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(save(photo(120, 80), png));
    file = PictureFile::open(png);
    EXPECT_TRUE(PictureFile::jpegBytesOf(file.decode(file.pixels)).isEmpty());
}

class PdfPicturesOfAReport : public ControlFixture {};

TEST_F(PdfPicturesOfAReport, AJpegRecordedAndExportedIsTheFileItself) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    PictureCache::instance().clear();
    const QString jpeg = path("photo.jpg");
    QImage image = photo(640, 480);
    image.setDotsPerMeterX(11811); // 300 dpi
    image.setDotsPerMeterY(11811);
    ASSERT_TRUE(save(image, jpeg));
    start();
    QString name = jpeg;
    ASSERT_EQ(ctl().printPicture(name, AlignPicHorizontalType(0), AlignPicVerticalType(0)),
              Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    QString pdf = path("report.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    ASSERT_TRUE(qpdfCheck(pdf).clean()) << qPrintable(qpdfCheck(pdf).output);
    const std::vector<QStringList> list = imageList(pdf);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].value(8), QStringLiteral("jpeg"));
    EXPECT_EQ(list[0].value(3), QStringLiteral("640"));
    popplerOutput(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, path("embedded")});
    EXPECT_EQ(fileBytes(path("embedded-000.jpg")), fileBytes(jpeg));
    // The document is the picture and a page of text around it, not its pixels deflated.
    EXPECT_LT(QFileInfo(pdf).size(), QFileInfo(jpeg).size() + 40 * 1024);
}

// A JPEG's header up to its scan: `sof` the start of frame, an Adobe marker when `adobe` >= 0.
QByteArray jpegHeader(uchar sof, int precision, int components, int adobe = -1,
                      const char* ids = "\1\2\3\4") {
    auto segment = [](uchar marker, const QByteArray& data) {
        const int length = int(data.size()) + 2;
        return QByteArray("\xFF", 1) + char(marker) + char(length >> 8) + char(length & 0xFF) +
               data;
    };
    QByteArray bytes("\xFF\xD8", 2);
    if (adobe >= 0) bytes += segment(0xEE, QByteArray("Adobe\0\144\0\0\0\0", 11) + char(adobe));
    QByteArray frame;
    frame += char(precision);
    frame += QByteArray("\0\x08\0\x10", 4); // 8 high, 16 wide
    frame += char(components);
    for (int c = 0; c < components; ++c)
        frame += QByteArray(1, ids[c]) + QByteArray("\x11\0", 2);
    bytes += segment(sof, frame);
    return bytes + segment(0xDA, QByteArray("\1\1\0\0\x3F\0", 6));
}

TEST(JpegFrame, OnlyWhatEveryReaderDrawsAsQtDoesGoesInAsItIs) {
    using pdf::embeddableJpegFrame;
    const std::optional<pdf::JpegFrame> baseline = embeddableJpegFrame(jpegHeader(0xC0, 8, 3));
    ASSERT_TRUE(baseline);
    EXPECT_EQ(baseline->width, 16);
    EXPECT_EQ(baseline->height, 8);
    EXPECT_EQ(baseline->components, 3);
    EXPECT_EQ(embeddableJpegFrame(jpegHeader(0xC2, 8, 1))->components, 1); // progressive grey
    EXPECT_TRUE(embeddableJpegFrame(jpegHeader(0xC0, 8, 3, 1)));           // Adobe's YCbCr

    EXPECT_FALSE(embeddableJpegFrame(jpegHeader(0xC1, 12, 3)));           // 12 bits a sample
    EXPECT_FALSE(embeddableJpegFrame(jpegHeader(0xC9, 8, 3)));            // arithmetic coding
    EXPECT_FALSE(embeddableJpegFrame(jpegHeader(0xC3, 8, 3)));            // lossless
    EXPECT_FALSE(embeddableJpegFrame(jpegHeader(0xC0, 8, 4, 2)));         // CMYK (YCCK)
    EXPECT_FALSE(embeddableJpegFrame(jpegHeader(0xC0, 8, 3, 0)));         // RGB, untransformed
    EXPECT_FALSE(embeddableJpegFrame(jpegHeader(0xC0, 8, 3, -1, "RGB"))); // named RGB
    EXPECT_FALSE(embeddableJpegFrame(jpegHeader(0xC0, 8, 3).chopped(8))); // cut before its scan
    EXPECT_FALSE(embeddableJpegFrame(QByteArray("\x89PNG\r\n\x1a\n", 8)));
}

} // namespace
} // namespace palvex::test
