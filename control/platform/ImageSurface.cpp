#include "ImageSurface.h"

#include "Colors.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {
constexpr int MaxSide = 16384; // beyond this QImage cannot allocate; the zoom is clamped instead
}

ImageSurface::ImageSurface(double pixelsPerTwip, double devicePixelRatio)
    : m_pixelsPerTwip(pixelsPerTwip), m_devicePixelRatio(devicePixelRatio) {}

void ImageSurface::setPixelsPerTwip(double pixelsPerTwip) {
    m_pixelsPerTwip = pixelsPerTwip;
    m_stale = true;
}

void ImageSurface::setDevicePixelRatio(double ratio) {
    m_devicePixelRatio = ratio;
    m_stale = true;
}

void ImageSurface::setBackColor(const QColor& color) {
    m_backColor = color;
}

void ImageSurface::ensureImage() {
    if (!m_stale && !m_image.isNull()) return;
    const double scale = m_pixelsPerTwip * m_devicePixelRatio;
    const int w = std::clamp(int(std::ceil(std::max(0.0f, Width()) * scale)), 1, MaxSide);
    const int h = std::clamp(int(std::ceil(std::max(0.0f, Height()) * scale)), 1, MaxSide);
    if (m_image.width() != w || m_image.height() != h) {
        QImage resized(w, h, QImage::Format_ARGB32_Premultiplied);
        resized.fill(m_backColor);
        if (!m_image.isNull()) {
            QPainter p(&resized);
            p.drawImage(0, 0, m_image);
        }
        m_image = std::move(resized);
        // Fonts are sized at 1440 dpi and the painter scales twips down to pixels, so text is
        // laid out exactly as it was measured.
        const int dotsPerMeter = qRound(TextMetrics::DotsPerInch / 0.0254);
        m_image.setDotsPerMeterX(dotsPerMeter);
        m_image.setDotsPerMeterY(dotsPerMeter);
    }
    m_image.setDevicePixelRatio(1.0);
    m_stale = false;
}

const QImage& ImageSurface::image() {
    ensureImage();
    return m_image;
}

QPainter& ImageSurface::beginPaint() {
    ensureImage();
    m_painter.emplace(&m_image);
    const double scale = m_pixelsPerTwip * m_devicePixelRatio;
    m_painter->scale(scale, scale);
    return *m_painter;
}

void ImageSurface::endPaint() {
    m_painter.reset();
}

void ImageSurface::clearDrawing() {
    ensureImage();
    m_image.fill(m_backColor);
}

} // namespace palvex
