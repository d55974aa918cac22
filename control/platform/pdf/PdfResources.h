#pragma once

#include "PdfFonts.h"

#include <QBrush>
#include <QByteArray>
#include <QHash>
#include <QImage>

namespace palvex::pdf {

class PdfWriter;

// What the pages draw with, shared by all of them: the fonts, the images, the hatch patterns and
// the transparency states, each written once as it is first used, under the name the content
// streams call it by.
class PdfResources {
public:
    explicit PdfResources(PdfWriter& writer) : m_writer(writer) {}

    PdfFonts& fonts() { return m_fonts; }
    const PdfFonts& fonts() const { return m_fonts; }
    // The name of the image's XObject ("/I7"); a decode of a JPEG file goes in as the file.
    QByteArray image(const QImage& image);
    // The name of a tiling pattern hatching in the brush's style and colour ("/P1").
    QByteArray pattern(const QBrush& brush);
    // The name of a graphics state with these opacities ("/A1"), empty when both are opaque.
    QByteArray alphaState(double fill, double stroke);

    // Writes the fonts (false when one could not be written); then the resource dictionary.
    bool writeFonts() { return m_fonts.write(m_writer); }
    QByteArray dictionary() const;

    // The hatch of a brush style in its cell of 8 preview pixels, or nullptr for a style that
    // has none.
    static const char* hatchOf(Qt::BrushStyle style);

private:
    int writeImage(const QImage& image);
    // A decode of a JPEG file written as the file's own bytes; 0 when it cannot be.
    int writeJpeg(const QImage& image);

    PdfWriter& m_writer;
    PdfFonts m_fonts;
    QHash<qint64, QByteArray> m_images;       // by QImage::cacheKey
    QHash<QByteArray, QByteArray> m_patterns; // by style and colour
    QHash<QByteArray, QByteArray> m_alphaStates;
    QByteArray m_imageEntries, m_patternEntries, m_stateEntries;
};

} // namespace palvex::pdf
