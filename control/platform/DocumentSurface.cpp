#include "DocumentSurface.h"

#include "PdfSurface.h"
#include "PrinterSurface.h"
#include "core/Guarded.h"

namespace palvex {

std::unique_ptr<DocumentSurface> DocumentSurface::open(const PrinterDevice& device,
                                                       const QString& pdfPath,
                                                       const DocumentProperties& document) {
    if (device.isPdf) return std::make_unique<PdfSurface>(device, pdfPath, document);
    return std::make_unique<PrinterSurface>(device);
}

DocumentSurface::DocumentSurface(const PrinterDevice& device)
    : m_printableWidth(device.scaleWidth), m_printableHeight(device.scaleHeight) {
    setScaleModeTwips();
    setWidth(device.width);
    setHeight(device.height);
    setScaleWidth(device.scaleWidth);
    setScaleHeight(device.scaleHeight);
    restoreFont(FontSpec{});
}

DocumentSurface::~DocumentSurface() = default;

void DocumentSurface::setResolution(double dotsPerInch) {
    if (dotsPerInch != m_resolution) m_deviceFonts.clear(); // sized for the old resolution
    m_resolution = dotsPerInch;
}

void DocumentSurface::painterBegun() {
    const double scale = m_resolution / 1440.0;
    m_painter.scale(scale, scale);
    m_pages = 1;
}

void DocumentSurface::endPainter() {
    if (m_painter.isActive()) m_painter.end();
}

void DocumentSurface::startPageIfDue() {
    if (!m_pageDue) return;
    m_pageDue = false;
    if (!startDevicePage()) raise(Status::PrinterError);
    ++m_pages;
}

void DocumentSurface::NewPage() {
    m_pageDue = true;
    setCurrentX(0);
    setCurrentY(0);
}

QPainter& DocumentSurface::beginPaint() {
    if (!m_painter.isActive()) raise(Status::PrinterError);
    startPageIfDue();
    return m_painter;
}

QFont DocumentSurface::deviceFont(const FontSpec& spec) const {
    // A report uses a handful of fonts; keeping each QFont keeps the engines Qt found for it,
    // which it would otherwise look up again, substitutes and all, for every text.
    for (const auto& [kept, font] : m_deviceFonts)
        if (kept == spec) return font;
    // Sized so that, through the painter's twip scale, the glyphs have their size in twips.
    QFont font = TextMetrics::cachedFont(spec);
    font.setPointSizeF(spec.size * 1440.0 / m_resolution);
    font = resolvedFont(font);
    if (m_deviceFonts.size() >= 32) m_deviceFonts.erase(m_deviceFonts.begin());
    m_deviceFonts.emplace_back(spec, font);
    return font;
}

} // namespace palvex
