#include "PaintingSurface.h"

#include "Colors.h"

#include <QPainter>

#include <cmath>

namespace palvex {

namespace {

// The raster operation of each draw mode (1-16); Nop (11) draws nothing.
QPainter::CompositionMode compositionOf(int mode) {
    switch (mode) {
    case 1:
        return QPainter::RasterOp_ClearDestination; // blackness
    case 2:
        return QPainter::RasterOp_NotSourceAndNotDestination; // not merge pen
    case 3:
        return QPainter::RasterOp_NotSourceAndDestination; // mask not pen
    case 4:
        return QPainter::RasterOp_NotSource; // not copy pen
    case 5:
        return QPainter::RasterOp_SourceAndNotDestination; // mask pen not
    case 6:
        return QPainter::RasterOp_NotDestination; // invert
    case 7:
        return QPainter::RasterOp_SourceXorDestination; // xor pen
    case 8:
        return QPainter::RasterOp_NotSourceOrNotDestination; // not mask pen
    case 9:
        return QPainter::RasterOp_SourceAndDestination; // mask pen
    case 10:
        return QPainter::RasterOp_NotSourceXorDestination; // not xor pen
    case 12:
        return QPainter::RasterOp_NotSourceOrDestination; // merge not pen
    case 14:
        return QPainter::RasterOp_SourceOrNotDestination; // merge pen not
    case 15:
        return QPainter::RasterOp_SourceOrDestination; // merge pen
    case 16:
        return QPainter::RasterOp_SetDestination; // whiteness
    default:
        return QPainter::CompositionMode_SourceOver; // copy pen
    }
}

Qt::PenStyle penStyleOf(int style) {
    switch (style) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle brushStyleOf(int style) {
    switch (style) {
    case 0:
        return Qt::SolidPattern;
    case 2:
        return Qt::HorPattern;
    case 3:
        return Qt::VerPattern;
    case 4:
        return Qt::BDiagPattern;
    case 5:
        return Qt::FDiagPattern;
    case 6:
        return Qt::CrossPattern;
    case 7:
        return Qt::DiagCrossPattern;
    default:
        return Qt::NoBrush;
    }
}

constexpr double SixteenthsPerRadian =
    180.0 / 3.14159265358979323846 * 16; // Qt angles: 1/16 degree

} // namespace

PaintingSurface::Painting::Painting(PaintingSurface& surface, const QFont* font)
    : painter(surface.beginPaint()), m_surface(surface) {
    if (font && painter.font() != *font) painter.setFont(*font);
    painter.save();
}

PaintingSurface::Painting::~Painting() {
    painter.restore();
    m_surface.endPaint();
}

QFont PaintingSurface::deviceFont(const FontSpec& spec) const {
    return TextMetrics::cachedFont(spec);
}

bool PaintingSurface::preparePainter(QPainter& painter, int32_t color, bool fill) {
    const Pen& p = pen();
    if (p.mode == 11) return false; // Nop
    const bool rasterOp = p.mode != 13 && canRasterOp();
    painter.setRenderHint(QPainter::Antialiasing, !rasterOp);
    painter.setCompositionMode(rasterOp ? compositionOf(p.mode)
                                        : QPainter::CompositionMode_SourceOver);
    // The width is in the device's pixels.
    QPen qpen(toQColor(color), p.width * twipsPerDevicePixel(), penStyleOf(p.style), Qt::FlatCap,
              Qt::MiterJoin);
    painter.setPen(qpen);
    painter.setBrush(fill ? QBrush(toQColor(p.fillColor), brushStyleOf(p.fillStyle))
                          : QBrush(Qt::NoBrush));
    return true;
}

void PaintingSurface::drawLine(const QPointF& a, const QPointF& b, int32_t color) {
    Painting painting(*this);
    QPainter& painter = painting.painter;
    if (preparePainter(painter, color, false)) painter.drawLine(a, b);
}

void PaintingSurface::drawBox(const QRectF& box, int32_t color) {
    Painting painting(*this);
    QPainter& painter = painting.painter;
    if (!preparePainter(painter, color, true)) return;
    QRectF r = box;
    if (pen().style == 6) { // inside solid: the border stays within the box
        const double half = painter.pen().widthF() / 2;
        r.adjust(half, half, -half, -half);
    }
    painter.drawRect(r);
}

void PaintingSurface::drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) {
    Painting painting(*this);
    QPainter& painter = painting.painter;
    const bool pie = arc && (arc->start < 0 || arc->end < 0);
    if (!preparePainter(painter, color, !arc || pie)) return;
    if (!arc) {
        painter.drawEllipse(bounds);
        return;
    }
    const double start = std::fabs(arc->start), end = std::fabs(arc->end);
    double span = end - start;
    if (span <= 0) span += 2 * 3.14159265358979323846; // arcs run counter-clockwise through 0
    const int a16 = int(std::lround(start * SixteenthsPerRadian)),
              s16 = int(std::lround(span * SixteenthsPerRadian));
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

void PaintingSurface::drawImage(const QImage& image, const QRectF& target) {
    Painting painting(*this);
    QPainter& painter = painting.painter;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
}

void PaintingSurface::drawHighlight(const QRectF& area, int32_t color) {
    Painting painting(*this);
    QPainter& painter = painting.painter;
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.fillRect(area, toQColor(color));
}

void PaintingSurface::drawText(QStringView text, double leftTwips, double topTwips, double) {
    const QFont drawing = deviceFont(font());
    Painting painting(*this, &drawing);
    QPainter& painter = painting.painter;
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setLayoutDirection(Qt::RightToLeft);
    painter.setPen(toQColor(ForeColor()));
    painter.drawText(QPointF(leftTwips, topTwips + TextMetrics::ascent(font())), text.toString());
}

} // namespace palvex
