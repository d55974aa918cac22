#include "PdfResources.h"

#include "JpegFrame.h"
#include "PdfSyntax.h"
#include "PdfWriter.h"
#include "platform/PictureFile.h"
#include "platform/Screen.h"

#include <algorithm>

namespace palvex::pdf {

namespace {

QByteArray reference(const QByteArray& name, int id) {
    return name + ' ' + QByteArray::number(id) + " 0 R ";
}

// An image's pixels as PDF samples: colour (or grey, one byte a pixel) and, apart, opacity.
struct Samples {
    QByteArray colours, opacity;
    bool translucent = false;
};

Samples samplesOf(const QImage& image, bool grey) {
    const int width = image.width(), height = image.height();
    const bool alpha = image.hasAlphaChannel();
    const int channels = grey ? 1 : 3;
    Samples s;
    s.colours = QByteArray(qsizetype(width) * height * channels, Qt::Uninitialized);
    s.opacity = QByteArray(alpha ? qsizetype(width) * height : 0, Qt::Uninitialized);
    char* colour = s.colours.data();
    char* opaque = s.opacity.data();
    // Converted a band of rows at a time: a picture at print resolution is not copied whole.
    constexpr int BandRows = 64;
    const QImage::Format bandFormat = alpha  ? QImage::Format_RGBA8888
                                      : grey ? QImage::Format_Grayscale8
                                             : QImage::Format_RGB888;
    const int step = alpha ? 4 : channels;
    for (int top = 0; top < height; top += BandRows) {
        const QImage band =
            image.copy(0, top, width, std::min(BandRows, height - top)).convertToFormat(bandFormat);
        for (int y = 0; y < band.height(); ++y) {
            const char* pixel = reinterpret_cast<const char*>(band.constScanLine(y));
            if (channels == step) { // without opacity: the row as it is
                colour = std::copy_n(pixel, qsizetype(width) * step, colour);
                continue;
            }
            for (int x = 0; x < width; ++x, pixel += step) {
                colour = std::copy_n(pixel, channels, colour); // red alone is the grey
                if (!alpha) continue;
                *opaque++ = pixel[3];
                s.translucent |= uchar(pixel[3]) != 255;
            }
        }
    }
    return s;
}

// Qt draws its hatches in the canvas's pixels, a cell of 8 repeating, in lines one pixel wide,
// whatever the painter's scale: the preview shows them so at every zoom. A page's hatch is drawn
// in those pixels, a screen's, 15 twips each, so it prints as the preview shows it whatever the
// zoom and the document's resolution. (On a doubled screen Qt's cell is 8 device pixels, and the
// preview's hatch is twice as fine as the page's.)
constexpr double PointsPerPreviewPixel = Screen::TwipsPerPixel / 20.0;

QByteArray imageEntries(QSize pixels) {
    QByteArray entries("/Type /XObject /Subtype /Image /Width ");
    appendInteger(entries, pixels.width());
    entries.append(" /Height ");
    appendInteger(entries, pixels.height());
    entries.append(" /BitsPerComponent 8");
    return entries;
}

} // namespace

const char* PdfResources::hatchOf(Qt::BrushStyle style) {
    // In a cell of 8 preview pixels, y up, as Qt's hatch bitmaps lie. Qt's diagonal steps a
    // pixel a row, as thick across as a pixel's diagonal is short: 1/√2. A diagonal also draws the
    // ends of its neighbours that cross the cell's corners, so the lines run unbroken from cell
    // to cell.
    switch (style) {
    case Qt::HorPattern:
        return "1 w 0 3.5 m 8 3.5 l S";
    case Qt::VerPattern:
        return "1 w 3.5 0 m 3.5 8 l S";
    case Qt::BDiagPattern:
        return "0.707 w -1 -1 m 9 9 l -1 7 m 1 9 l 7 -1 m 9 1 l S";
    case Qt::FDiagPattern:
        return "0.707 w -1 9 m 9 -1 l -1 1 m 1 -1 l 7 9 m 9 7 l S";
    case Qt::CrossPattern:
        return "1 w 0 3.5 m 8 3.5 l 3.5 0 m 3.5 8 l S";
    case Qt::DiagCrossPattern:
        return "0.707 w -1 -1 m 9 9 l -1 7 m 1 9 l 7 -1 m 9 1 l "
               "-1 9 m 9 -1 l -1 1 m 1 -1 l 7 9 m 9 7 l S";
    default:
        return nullptr;
    }
}

QByteArray PdfResources::image(const QImage& image) {
    QByteArray& name = m_images[image.cacheKey()];
    if (name.isEmpty()) {
        const int id = writeImage(image);
        name = "/I" + QByteArray::number(id);
        m_imageEntries += reference(name, id);
    }
    return name;
}

int PdfResources::writeImage(const QImage& image) {
    if (const int id = writeJpeg(image); id > 0) return id;
    // A scan is grey throughout: one byte a pixel instead of three. Qt answers at once for a grey
    // format or palette; a 32-bit colour picture's scan stops at its first coloured pixel, and a
    // grey one's whole scan takes far less than deflating the two thirds of samples it saves.
    const bool grey = image.allGray();
    const Samples samples = samplesOf(image, grey);
    QByteArray entries = imageEntries(image.size());
    const QByteArray greyEntries = entries + " /ColorSpace /DeviceGray";
    entries.append(grey ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB");
    if (samples.translucent) {
        const int mask = m_writer.reserve();
        m_writer.stream(mask, greyEntries, samples.opacity);
        entries.append(" /SMask ");
        appendInteger(entries, mask);
        entries.append(" 0 R");
    }
    const int id = m_writer.reserve();
    m_writer.stream(id, entries, samples.colours);
    return id;
}

int PdfResources::writeJpeg(const QImage& image) {
    const QByteArray bytes = PictureFile::jpegBytesOf(image);
    const std::optional<JpegFrame> frame = embeddableJpegFrame(bytes);
    if (!frame) return 0;
    const QSize pixels(frame->width, frame->height);
    if (image.size() != pixels) {
        // A decode smaller than the file: its bytes go in as they are while they take no more
        // than the decode's samples would before deflating.
        const qsizetype samples = qsizetype(image.width()) * image.height() * frame->components;
        if (image.width() > pixels.width() || image.height() > pixels.height() ||
            bytes.size() > samples)
            return 0;
    }
    const int id = m_writer.reserve();
    m_writer.stream(
        id,
        imageEntries(pixels) +
            (frame->components == 1 ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB") +
            " /Filter /DCTDecode",
        bytes, false);
    return id;
}

QByteArray PdfResources::pattern(const QBrush& brush) {
    const QColor color = brush.color().toRgb();
    const QByteArray key =
        QByteArray::number(int(brush.style())) + ' ' + QByteArray::number(color.rgb(), 16);
    QByteArray& name = m_patterns[key];
    if (name.isEmpty()) {
        const int id = m_writer.reserve();
        name = "/P" + QByteArray::number(m_patterns.size());
        QByteArray cell;
        appendNumber(cell, color.redF());
        cell.append(' ');
        appendNumber(cell, color.greenF());
        cell.append(' ');
        appendNumber(cell, color.blueF());
        cell.append(" RG\n");
        cell.append(hatchOf(brush.style()));
        QByteArray entries("/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 "
                           "/BBox [0 0 8 8] /XStep 8 /YStep 8 /Resources << >> /Matrix [");
        appendNumber(entries, PointsPerPreviewPixel);
        entries.append(" 0 0 ");
        appendNumber(entries, PointsPerPreviewPixel);
        m_writer.stream(id, entries + " 0 0]", cell, false);
        m_patternEntries += reference(name, id);
    }
    return name;
}

QByteArray PdfResources::alphaState(double fill, double stroke) {
    if (fill >= 1 && stroke >= 1) return {};
    QByteArray key;
    appendNumber(key, fill, 3);
    key.append(' ');
    appendNumber(key, stroke, 3);
    QByteArray& name = m_alphaStates[key];
    if (name.isEmpty()) {
        const int id = m_writer.reserve();
        name = "/A" + QByteArray::number(m_alphaStates.size());
        QByteArray body("<< /Type /ExtGState /ca ");
        appendNumber(body, fill);
        body.append(" /CA ");
        appendNumber(body, stroke);
        m_writer.object(id, body + " >>");
        m_stateEntries += reference(name, id);
    }
    return name;
}

QByteArray PdfResources::dictionary() const {
    QByteArray resources("<< /ProcSet [/PDF /Text /ImageB /ImageC] /Font << ");
    resources += m_fonts.resourceEntries() + ">>";
    if (!m_imageEntries.isEmpty()) resources += " /XObject << " + m_imageEntries + ">>";
    if (!m_patternEntries.isEmpty()) resources += " /Pattern << " + m_patternEntries + ">>";
    if (!m_stateEntries.isEmpty()) resources += " /ExtGState << " + m_stateEntries + ">>";
    return resources + " >>";
}

} // namespace palvex::pdf
