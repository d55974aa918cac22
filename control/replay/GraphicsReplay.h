#pragma once

#include "recording/ShapeParams.h"

namespace palvex {

class ItemReplay;
struct Margins;
struct PrintItem;
class Surface;

// The shape parameters as one target draws them (the operations of the graphics routine):
// decoded and scaled for the zoom, converted to the surface's left-origin scale for their
// alignment, and applied as pen and fill.
namespace GraphicsParams {
// Reads a shape and scales it for the zoom: x1 only with the "currentX" option; x2, y1, y2,
// radius, start angle and aspect always; end angle, pen width and colours never.
ShapeParams decodeShape(const QString& itemText, float zoom, bool zoomCurrentX);
// x1 and x2 from the host's right-origin x to the surface's left-origin x, by alignment.
void alignShape(ShapeParams& p, int16_t kind, int16_t align, float width, const Margins& margins);
// Pen and fill on the surface; `penScale` converts the pen width to the device's pixels.
void applyPen(Surface& surface, const ShapeParams& p, double penScale);
} // namespace GraphicsParams

// Draws the items that are not text: boxes, lines, circles, pictures and character runs.
class GraphicsReplay {
public:
    // `penScale` converts a pen width in screen pixels to the target's pixels.
    explicit GraphicsReplay(double penScale = 1.0) : m_penScale(penScale) {}

    void draw(const PrintItem& item, ItemReplay& replay) const;

private:
    void drawShape(const PrintItem& item, ItemReplay& replay) const;
    void drawPicture(const PrintItem& item, ItemReplay& replay) const;
    void drawRun(const PrintItem& item, ItemReplay& replay) const;

    double m_penScale;
};

} // namespace palvex
