#pragma once

#include "core/DocumentProperties.h"

#include <QColor>
#include <QFont>
#include <QPaintDevice>
#include <QRectF>
#include <QSizeF>
#include <QStringView>
#include <QTransform>

#include <memory>

class QIODevice;

namespace palvex::pdf {

class PdfPaintEngine;

// The paper and where drawing may go on it, in points.
struct PdfPageGeometry {
    QSizeF paper;   // the media box
    QRectF printable; // the painter's origin is its top-left corner
};

// A paint device that writes a PDF document of its own: QPainter draws on it as on any device,
// so the preview and the PDF are drawn by the same replay code.
class PdfPaintDevice final : public QPaintDevice {
public:
    PdfPaintDevice(QIODevice& out, PdfPageGeometry geometry, int resolution,
                   DocumentProperties properties);
    ~PdfPaintDevice() override;

    QPaintEngine* paintEngine() const override;
    // Ends the current page and begins another; false when the document can no longer be
    // written. QPainter::end() finishes the document and reports failure the same way.
    bool newPage();
    int resolution() const { return m_resolution; }
    // One text has been drawn whole: its pieces go into the page in the order of its characters.
    void textEnded();
    // See PdfPaintEngine::drawPlainText.
    bool drawPlainText(const QTransform& world, const QPointF& origin, const QFont& font,
                       const QColor& color, QStringView text, bool rightToLeft);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    PdfPageGeometry m_geometry;
    int m_resolution;
    std::unique_ptr<PdfPaintEngine> m_engine;
};

} // namespace palvex::pdf
