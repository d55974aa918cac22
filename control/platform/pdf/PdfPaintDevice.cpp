#include "PdfPaintDevice.h"

#include "PdfPaintEngine.h"

#include <climits>
#include <cmath>

namespace palvex::pdf {

PdfPaintDevice::PdfPaintDevice(QIODevice& out, PdfPageGeometry geometry, int resolution,
                               DocumentProperties properties)
    : m_geometry(geometry), m_resolution(resolution),
      m_engine(std::make_unique<PdfPaintEngine>(out, geometry, resolution, std::move(properties))) {}

PdfPaintDevice::~PdfPaintDevice() = default;

QPaintEngine* PdfPaintDevice::paintEngine() const { return m_engine.get(); }

void PdfPaintDevice::textEnded() { m_engine->flushTexts(); }

bool PdfPaintDevice::drawPlainText(const QTransform& world, const QPointF& origin,
                                   const QFont& font, const QColor& color, QStringView text,
                                   bool rightToLeft) {
    return m_engine->isActive() &&
           m_engine->drawPlainText(world, origin, font, color, text, rightToLeft);
}

bool PdfPaintDevice::newPage() { return m_engine->isActive() && m_engine->newPage(); }

int PdfPaintDevice::metric(PaintDeviceMetric metric) const {
    constexpr double MillimetresPerPoint = 25.4 / 72;
    const double pixelsPerPoint = m_resolution / 72.0;
    switch (metric) {
    case PdmWidth:
        return int(std::lround(m_geometry.printable.width() * pixelsPerPoint));
    case PdmHeight:
        return int(std::lround(m_geometry.printable.height() * pixelsPerPoint));
    case PdmWidthMM:
        return int(std::lround(m_geometry.printable.width() * MillimetresPerPoint));
    case PdmHeightMM:
        return int(std::lround(m_geometry.printable.height() * MillimetresPerPoint));
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_resolution;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}

} // namespace palvex::pdf
