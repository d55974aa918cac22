#pragma once

// Pictures the tests make for themselves, as real files: a page scanned at print resolution, and
// a PNG whose header claims more pixels than any decode may take.

#include <QByteArray>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtEndian>

#include <cstdint>

namespace palvex::test {

struct ScannedPage {
    int width = 0, height = 0; // pixels
    int dotsPerMeter = 0;
    // Where the page's ink lies, in pixels: a rule across its head and a box lower down.
    QRect rule, box;
};

// An A4 page as a scanner gives it at `dpi`: white, with a black rule, lines of text and a box,
// drawn without antialiasing so that it is truly black and white and compresses to a few hundred
// kilobytes. Saved in `format` (RGB32 gives the 24-bit PNG most scanners write).
inline ScannedPage writeScannedPage(const QString& path, int dpi = 600,
                                    QImage::Format format = QImage::Format_RGB32) {
    ScannedPage page;
    page.width = int(210 / 25.4 * dpi + 0.5);
    page.height = int(297 / 25.4 * dpi + 0.5);
    page.dotsPerMeter = int(dpi / 0.0254 + 0.5);
    const int unit = dpi / 12; // a twelfth of an inch
    page.rule = QRect(unit * 6, unit * 6, page.width - unit * 12, unit / 2);
    page.box = QRect(page.width / 2, page.height / 2, unit * 24, unit * 12);
    QImage image(page.width, page.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(page.rule, Qt::black);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(unit * 2);
        font.setStyleStrategy(QFont::NoAntialias);
        p.setFont(font);
        p.setPen(Qt::black);
        for (int line = 0; line < 12; ++line)
            p.drawText(unit * 6, unit * (12 + 3 * line),
                       QStringLiteral("Line %1 of a letter scanned at %2 dpi").arg(line).arg(dpi));
        p.setPen(QPen(Qt::black, unit / 4));
        p.drawRect(page.box);
    }
    image.setDotsPerMeterX(page.dotsPerMeter);
    image.setDotsPerMeterY(page.dotsPerMeter);
    if (!image.convertToFormat(format).save(path, "PNG")) return {};
    return page;
}

inline quint32 pngCrc(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

inline QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(pngCrc(body), crc.data());
    return chunk + body + crc;
}

// A PNG whose header is sound and says `width` x `height` 24-bit pixels, followed by a few rows
// of data: what a damaged or hostile file looks like to a reader that trusts its header.
inline bool writeHugeHeaderPng(const QString& path, quint32 width, quint32 height) {
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 8;                                                    // bits per sample
    header[9] = 2;                                                    // RGB
    const QByteArray rows = qCompress(QByteArray(4096, '\0')).mid(4); // the zlib stream alone
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
                             pngChunk("IDAT", rows) + pngChunk("IEND", {});
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace palvex::test
