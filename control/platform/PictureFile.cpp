#include "PictureFile.h"

#include "PictureResolution.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <optional>
#include <vector>

namespace palvex {

namespace {

// Qt refuses a decode whose pixels pass its allocation limit, a setting of the whole process. It
// is raised for the length of one of the control's reads to what that read may take (within
// MaxDecodeBytes, checked before) and put back after, so the host's own reads keep their limit.
class AllocationLimitFor {
public:
    explicit AllocationLimitFor(int64_t bytes) : m_previous(QImageReader::allocationLimit()) {
        const int64_t megabytes = (bytes >> 20) + 1;
        if (m_previous > 0 && megabytes > m_previous) {
            QImageReader::setAllocationLimit(int(megabytes));
            m_raised = true;
        }
    }
    ~AllocationLimitFor() {
        if (m_raised) QImageReader::setAllocationLimit(m_previous);
    }
    AllocationLimitFor(const AllocationLimitFor&) = delete;
    AllocationLimitFor& operator=(const AllocationLimitFor&) = delete;

private:
    int m_previous;
    bool m_raised = false;
};

// What the reader's decode of the whole picture takes, as Qt counts it: 4 bytes a pixel at least.
int64_t wholeDecodeBytes(const QImageReader& reader, QSize stored) {
    const int bits = std::max(32, int(QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel()));
    return int64_t(stored.width()) * stored.height() * (bits / 8);
}

// The reader scales a picture as stored, before turning it upright.
bool storedTurned(const QImageReader& reader) {
    return reader.transformation() & QImageIOHandler::TransformationRotate90;
}

double dotsPerInch(int dotsPerMeter) {
    return dotsPerMeter > 0 ? dotsPerMeter * 0.0254 : 96.0;
}

// The text key naming the JPEG file, and its version, that an image is the decode of.
QString jpegSourceKey() {
    return QStringLiteral("palvex-jpeg-source");
}

// The file's version and the decode's size first, the path (which may hold anything) last. A
// copy of a part of the decode keeps its text but not its size.
QString sourceText(const PictureFile& picture, QSize decoded) {
    return QString::number(picture.modified.toMSecsSinceEpoch()) + QLatin1Char(' ') +
           QString::number(picture.fileBytes) + QLatin1Char(' ') +
           QString::number(decoded.width()) + QLatin1Char('x') + QString::number(decoded.height()) +
           QLatin1Char(' ') + picture.path;
}

// A scan is grey throughout: 8 bits a pixel hold it as well as 32, in a quarter of the memory.
QImage leanest(QImage image) {
    if (image.depth() >= 24 && !image.hasAlphaChannel() && image.allGray())
        return image.convertToFormat(QImage::Format_Grayscale8);
    return image;
}

// Qt's smooth scaling works on 32-bit pixels and converts a whole picture to them first. One
// decoded in fewer bits (grey, palette, 1-bit scans) is first averaged down by whole factors, a
// block of rows at a time, to no less than the size asked: only that picture, under four times
// the size asked, goes through Qt's scaling.
QImage shrunkInSteps(const QImage& image, QSize size) {
    const int kx = std::max(1, image.width() / size.width());
    const int ky = std::max(1, image.height() / size.height());
    const int w = image.width() / kx, h = image.height() / ky;
    const QImage::Format format =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    QImage averaged(w, h, format);
    if (averaged.isNull()) return {};
    const uint32_t block = uint32_t(kx) * uint32_t(ky);
    std::vector<uint32_t> sums(size_t(w) * 4);
    for (int y = 0; y < h; ++y) {
        const QImage rows = image.copy(0, y * ky, w * kx, ky).convertToFormat(format);
        if (rows.isNull()) return {};
        std::fill(sums.begin(), sums.end(), 0u);
        for (int r = 0; r < ky; ++r) {
            const uchar* bytes = rows.constScanLine(r);
            for (int x = 0; x < w * kx; ++x)
                for (int c = 0; c < 4; ++c)
                    sums[size_t(x / kx) * 4 + c] += bytes[x * 4 + c];
        }
        uchar* out = averaged.scanLine(y);
        for (size_t i = 0; i < sums.size(); ++i)
            out[i] = uchar((sums[i] + block / 2) / block);
    }
    if (averaged.size() == size) return averaged;
    return averaged.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

PictureFile PictureFile::open(const QString& path) {
    PictureFile picture;
    picture.path = path;
    const QFileInfo info(path);
    picture.modified = info.lastModified();
    picture.fileBytes = info.size();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead()) return picture;
    // A few readers (icons) know the size only once they decode.
    const QSize stored = reader.size();
    std::optional<PictureResolution> resolution;
    int64_t wholeBytes = 0;
    if (stored.isValid()) {
        if (stored.isEmpty()) return picture;
        const bool turned = storedTurned(reader);
        picture.pixels = turned ? stored.transposed() : stored;
        wholeBytes = wholeDecodeBytes(reader, stored);
        if (wholeBytes > MaxDecodeBytes) {
            picture.state = State::TooLarge;
            return picture;
        }
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            resolution = PictureResolution::read(file, reader.format());
        if (resolution && turned) std::swap(resolution->dotsPerMeterX, resolution->dotsPerMeterY);
    }
    if (!resolution) {
        // Only the decoded image tells this format's resolution.
        const AllocationLimitFor limit(wholeBytes);
        const QImage image = reader.read();
        if (image.isNull()) return picture;
        picture.pixels = image.size();
        resolution = PictureResolution{image.dotsPerMeterX(), image.dotsPerMeterY()};
    }
    picture.widthHmm = picture.pixels.width() * 2540.0 / dotsPerInch(resolution->dotsPerMeterX);
    picture.heightHmm = picture.pixels.height() * 2540.0 / dotsPerInch(resolution->dotsPerMeterY);
    picture.state = State::Readable;
    return picture;
}

QSize PictureFile::decodedSize(QSize wanted) const {
    return wanted.boundedTo(pixels);
}

QImage PictureFile::decode(QSize wanted) const {
    const QSize size = decodedSize(wanted);
    if (!readable() || size.isEmpty()) return {};
    // A file changed since it was measured is measured again before it is drawn.
    const QFileInfo info(path);
    if (info.lastModified() != modified || info.size() != fileBytes) return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const bool turned = storedTurned(reader);
    const int64_t wholeBytes = wholeDecodeBytes(reader, pixels);
    if (wholeBytes > MaxDecodeBytes) return {};
    // Qt's readers shrink 32-bit pictures as they read them (PNG) or decode them at a fraction
    // (JPEG); narrower ones are decoded whole and shrunk here.
    const bool readerShrinks = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() >= 32;
    if (size != pixels && readerShrinks) reader.setScaledSize(turned ? size.transposed() : size);
    // Asked before the read, after which the reader no longer tells.
    const bool jpegAsStored =
        reader.format() == "jpeg" && reader.transformation() == QImageIOHandler::TransformationNone;
    QImage image;
    {
        const AllocationLimitFor limit(wholeBytes);
        image = reader.read();
    }
    if (!image.isNull() && image.size() != size) image = shrunkInSteps(image, size);
    if (image.isNull()) return {};
    image = leanest(std::move(image));
    // Set on the image as made, before anyone shares it: no pixel is copied for it.
    if (jpegAsStored) image.setText(jpegSourceKey(), sourceText(*this, image.size()));
    return image;
}

QByteArray PictureFile::jpegBytesOf(const QImage& image) {
    const QString source = image.text(jpegSourceKey());
    if (source.isEmpty()) return {};
    PictureFile version;
    version.path = source.section(QLatin1Char(' '), 3);
    const QFileInfo info(version.path);
    version.modified = info.lastModified();
    version.fileBytes = info.size();
    if (sourceText(version, image.size()) != source) return {};
    QFile file(version.path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.readAll();
    // A file rewritten while it was read is not the one decoded.
    if (bytes.size() != version.fileBytes ||
        QFileInfo(version.path).lastModified() != version.modified)
        return {};
    return bytes;
}

} // namespace palvex
