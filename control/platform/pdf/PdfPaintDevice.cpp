#include "PdfPaintDevice.h"

#include "PdfDocument.h"
#include "PdfPaintEngine.h"

#include <climits>
#include <cmath>

namespace palvex::pdf {

PdfPaintDevice::PdfPaintDevice(PdfDocument& document)
    : m_document(document), m_engine(std::make_unique<PdfPaintEngine>(document)) {}

PdfPaintDevice::~PdfPaintDevice() = default;

QPaintEngine* PdfPaintDevice::paintEngine() const {
    return m_engine.get();
}

int PdfPaintDevice::metric(PaintDeviceMetric metric) const {
    constexpr double MillimetresPerPoint = 25.4 / 72;
    const PdfPageGeometry& geometry = m_document.geometry();
    const double pixelsPerPoint = m_document.resolution() / 72.0;
    switch (metric) {
    case PdmWidth:
        return int(std::lround(geometry.printable.width() * pixelsPerPoint));
    case PdmHeight:
        return int(std::lround(geometry.printable.height() * pixelsPerPoint));
    case PdmWidthMM:
        return int(std::lround(geometry.printable.width() * MillimetresPerPoint));
    case PdmHeightMM:
        return int(std::lround(geometry.printable.height() * MillimetresPerPoint));
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_document.resolution();
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}

} // namespace palvex::pdf
