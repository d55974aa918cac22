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

void ImageSurface::clearDrawing() {
    ensureImage();
    m_image.fill(m_backColor);
}

namespace {

// The raster operation of each draw mode (1-16); Nop (11) draws nothing.
QPainter::CompositionMode compositionOf(int mode) {
    switch (mode) {
    case 1: return QPainter::RasterOp_ClearDestination;              // blackness
    case 2: return QPainter::RasterOp_NotSourceAndNotDestination;    // not merge pen
    case 3: return QPainter::RasterOp_NotSourceAndDestination;       // mask not pen
    case 4: return QPainter::RasterOp_NotSource;                     // not copy pen
    case 5: return QPainter::RasterOp_SourceAndNotDestination;       // mask pen not
    case 6: return QPainter::RasterOp_NotDestination;                // invert
    case 7: return QPainter::RasterOp_SourceXorDestination;          // xor pen
    case 8: return QPainter::RasterOp_NotSourceOrNotDestination;     // not mask pen
    case 9: return QPainter::RasterOp_SourceAndDestination;          // mask pen
    case 10: return QPainter::RasterOp_NotSourceXorDestination;      // not xor pen
    case 12: return QPainter::RasterOp_NotSourceOrDestination;       // merge not pen
    case 14: return QPainter::RasterOp_SourceOrNotDestination;       // merge pen not
    case 15: return QPainter::RasterOp_SourceOrDestination;          // merge pen
    case 16: return QPainter::RasterOp_SetDestination;               // whiteness
    default: return QPainter::CompositionMode_SourceOver;            // copy pen
    }
}

Qt::PenStyle penStyleOf(int style) {
    switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle brushStyleOf(int style) {
    switch (style) {
    case 0: return Qt::SolidPattern;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::BDiagPattern;
    case 5: return Qt::FDiagPattern;
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
    }
}

constexpr double SixteenthsPerRadian = 180.0 / 3.14159265358979323846 * 16; // Qt angles: 1/16 degree

} // namespace

bool ImageSurface::preparePainter(QPainter& painter, int32_t color, bool fill) {
    const Pen& p = pen();
    if (p.mode == 11) return false; // Nop
    const double scale = m_pixelsPerTwip * m_devicePixelRatio;
    painter.scale(scale, scale);
    const bool rasterOp = p.mode != 13;
    painter.setRenderHint(QPainter::Antialiasing, !rasterOp);
    painter.setCompositionMode(compositionOf(p.mode));
    // The width is in the screen's pixels: 15 twips each, whatever the zoom of the image.
    QPen qpen(toQColor(color), p.width / m_pixelsPerTwip, penStyleOf(p.style), Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(qpen);
    painter.setBrush(fill ? QBrush(toQColor(p.fillColor), brushStyleOf(p.fillStyle)) : QBrush(Qt::NoBrush));
    return true;
}

void ImageSurface::drawLine(const QPointF& a, const QPointF& b, int32_t color) {
    ensureImage();
    QPainter painter(&m_image);
    if (preparePainter(painter, color, false)) painter.drawLine(a, b);
}

void ImageSurface::drawBox(const QRectF& box, int32_t color) {
    ensureImage();
    QPainter painter(&m_image);
    if (!preparePainter(painter, color, true)) return;
    QRectF r = box;
    if (pen().style == 6) { // inside solid: the border stays within the box
        const double half = painter.pen().widthF() / 2;
        r.adjust(half, half, -half, -half);
    }
    painter.drawRect(r);
}

void ImageSurface::drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) {
    ensureImage();
    QPainter painter(&m_image);
    const bool pie = arc && (arc->start < 0 || arc->end < 0);
    if (!preparePainter(painter, color, !arc || pie)) return;
    if (!arc) {
        painter.drawEllipse(bounds);
        return;
    }
    const double start = std::fabs(arc->start), end = std::fabs(arc->end);
    double span = end - start;
    if (span <= 0) span += 2 * 3.14159265358979323846; // arcs run counter-clockwise through 0
    const int a16 = int(std::lround(start * SixteenthsPerRadian)), s16 = int(std::lround(span * SixteenthsPerRadian));
    if (arc->start < 0 && arc->end < 0) {
        painter.drawPie(bounds, a16, s16);
        return;
    }
    painter.drawArc(bounds, a16, s16);
    // A negative angle draws the radius to that end only.
    const QPointF c = bounds.center();
    auto radiusTo = [&](double angle) {
        painter.drawLine(c, QPointF(c.x() + bounds.width() / 2 * std::cos(angle),
                                    c.y() - bounds.height() / 2 * std::sin(angle)));
    };
    if (arc->start < 0) radiusTo(start);
    if (arc->end < 0) radiusTo(end);
}

void ImageSurface::drawImage(const QImage& image, const QRectF& target) {
    ensureImage();
    QPainter painter(&m_image);
    const double scale = m_pixelsPerTwip * m_devicePixelRatio;
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
}

void ImageSurface::drawText(QStringView text, double leftTwips, double topTwips, double) {
    ensureImage();
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double scale = m_pixelsPerTwip * m_devicePixelRatio;
    painter.scale(scale, scale);
    painter.setLayoutDirection(Qt::RightToLeft);
    painter.setFont(TextMetrics::cachedFont(font()));
    painter.setPen(toQColor(ForeColor()));
    painter.drawText(QPointF(leftTwips, topTwips + TextMetrics::ascent(font())), text.toString());
}

} // namespace palvex
