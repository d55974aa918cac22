#include "PictureResolution.h"

#include "core/RecordCodec.h"

#include <QIODevice>
#include <QImage>
#include <QtEndian>

namespace palvex {

namespace {

// Qt keeps an image's default for an axis given as 0.
int orDefault(int stated, int fallback) {
    return stated != 0 ? stated : fallback;
}

quint32 bigEndian32(const QByteArray& bytes, qsizetype at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

quint16 bigEndian16(const QByteArray& bytes, qsizetype at) {
    return qFromBigEndian<quint16>(bytes.constData() + at);
}

// PNG: a pHYs chunk in pixels per metre, before the image data. Other units only give the
// pixels' proportions, which Qt ignores.
PictureResolution pngResolution(QIODevice& file) {
    PictureResolution result = PictureResolution::qtDefault();
    if (!file.seek(8)) return result; // the signature
    for (;;) {
        const QByteArray head = file.read(8);
        if (head.size() < 8) return result;
        const quint32 length = bigEndian32(head, 0);
        const QByteArray type = head.mid(4, 4);
        if (type == "IDAT" || type == "IEND") return result;
        if (type == "pHYs" && length == 9) {
            const QByteArray data = file.read(9);
            if (data.size() < 9) return result;
            if (data.at(8) == 1) {
                result.dotsPerMeterX = orDefault(int(bigEndian32(data, 0)), result.dotsPerMeterX);
                result.dotsPerMeterY = orDefault(int(bigEndian32(data, 4)), result.dotsPerMeterY);
            }
            return result; // a second one is ignored
        }
        if (!file.seek(file.pos() + qint64(length) + 4)) return result; // data and CRC
    }
}

// JPEG: the density of a JFIF segment (the last before the scan), in dots per inch or per
// centimetre; Qt truncates it to whole dots per metre.
PictureResolution jpegResolution(QIODevice& file) {
    PictureResolution result = PictureResolution::qtDefault();
    if (!file.seek(2)) return result; // start of image
    std::optional<PictureResolution> density;
    for (;;) {
        char byte = 0;
        if (!file.getChar(&byte)) break;
        if (uchar(byte) != 0xFF) continue;
        char marker = 0;
        do {
            if (!file.getChar(&marker)) return density.value_or(result);
        } while (uchar(marker) == 0xFF);
        const uchar code = uchar(marker);
        if (code == 0xD9 || code == 0xDA) break; // end, or the scan
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7) || code == 0) continue; // no length
        const QByteArray size = file.read(2);
        if (size.size() < 2) break;
        const quint16 length = bigEndian16(size, 0);
        if (length < 2) break;
        const QByteArray data = file.read(length - 2);
        if (data.size() < length - 2) break;
        if (code == 0xE0 && data.size() >= 14 && data.startsWith(QByteArrayView("JFIF\0", 5))) {
            const int unit = uchar(data.at(7));
            const double x = bigEndian16(data, 8), y = bigEndian16(data, 10);
            const double perMetre = unit == 1 ? 100.0 / 2.54 : unit == 2 ? 100.0 : 0.0;
            PictureResolution found = result;
            if (perMetre > 0) {
                found.dotsPerMeterX = orDefault(int(perMetre * x), result.dotsPerMeterX);
                found.dotsPerMeterY = orDefault(int(perMetre * y), result.dotsPerMeterY);
            }
            density = found;
        }
    }
    return density.value_or(result);
}

// BMP: the pixels per metre of any header but the oldest, which has none.
PictureResolution bmpResolution(QIODevice& file) {
    PictureResolution result = PictureResolution::qtDefault();
    if (!file.seek(0)) return result;
    const QByteArray header = file.read(14 + 32);
    if (header.size() < 14 + 32) return result;
    const auto* info = reinterpret_cast<const unsigned char*>(header.constData()) + 14;
    if (codec::getI32(info) == 12) return result;
    result.dotsPerMeterX = orDefault(codec::getI32(info + 24), result.dotsPerMeterX);
    result.dotsPerMeterY = orDefault(codec::getI32(info + 28), result.dotsPerMeterY);
    return result;
}

} // namespace

PictureResolution PictureResolution::qtDefault() {
    const QImage blank(1, 1, QImage::Format_Mono);
    return {blank.dotsPerMeterX(), blank.dotsPerMeterY()};
}

std::optional<PictureResolution> PictureResolution::read(QIODevice& file,
                                                         const QByteArray& format) {
    if (format == "png") return pngResolution(file);
    if (format == "jpeg" || format == "jpg") return jpegResolution(file);
    if (format == "bmp") return bmpResolution(file);
    // Readers that never give an image a resolution of its own.
    static const QByteArrayView none[] = {"gif", "pbm", "pgm", "ppm", "xbm", "xpm", "svg", "svgz"};
    for (const QByteArrayView name : none)
        if (format == name) return qtDefault();
    return std::nullopt;
}

} // namespace palvex
