#include "ImageSurface.h"

#include "Colors.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace palvex {

namespace {
constexpr int MaxSide = 16384; // beyond this QImage cannot allocate; the zoom is clamped instead
// A page that draws more than this before anyone looks is drawn as it goes: the list would
// soon outweigh the pixels.
constexpr size_t MaxKeptDrawings = 20000;
} // namespace

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
        resized.fill(m_image.isNull() ? m_blankColor.value_or(m_backColor) : m_backColor);
        m_blankColor.reset();
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
    drawKept();
    return m_image;
}

void ImageSurface::drawOrKeep(std::function<void()> draw) {
    if (m_image.isNull() && m_kept.size() < MaxKeptDrawings) {
        if (!m_blankColor) m_blankColor = m_backColor;
        m_kept.push_back({drawingState(), std::move(draw)});
        return;
    }
    ensureImage();
    drawKept();
    draw();
}

void ImageSurface::drawKept() {
    if (m_kept.empty()) return;
    const std::vector<KeptDrawing> kept = std::exchange(m_kept, {});
    const DrawingState now = drawingState();
    for (const KeptDrawing& k : kept) {
        setDrawingState(k.state);
        k.draw();
    }
    setDrawingState(now);
}

void ImageSurface::drawLine(const QPointF& a, const QPointF& b, int32_t color) {
    drawOrKeep([=, this] { PaintingSurface::drawLine(a, b, color); });
}

void ImageSurface::drawBox(const QRectF& box, int32_t color) {
    drawOrKeep([=, this] { PaintingSurface::drawBox(box, color); });
}

void ImageSurface::drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) {
    const std::optional<Arc> keptArc = arc ? std::optional<Arc>(*arc) : std::nullopt;
    drawOrKeep(
        [=, this] { PaintingSurface::drawEllipse(bounds, color, keptArc ? &*keptArc : nullptr); });
}

void ImageSurface::drawImage(const QImage& image, const QRectF& target) {
    drawOrKeep([=, this] { PaintingSurface::drawImage(image, target); });
}

void ImageSurface::drawHighlight(const QRectF& area, int32_t color) {
    drawOrKeep([=, this] { PaintingSurface::drawHighlight(area, color); });
}

void ImageSurface::drawText(QStringView text, double leftTwips, double topTwips,
                            double widthTwips) {
    drawOrKeep([=, this, text = text.toString()] {
        PaintingSurface::drawText(text, leftTwips, topTwips, widthTwips);
    });
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
    m_kept.clear();
    if (m_image.isNull()) { // made blank, in this colour, when first read
        m_blankColor = m_backColor;
        return;
    }
    ensureImage();
    m_image.fill(m_backColor);
}

} // namespace palvex
