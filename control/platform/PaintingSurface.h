#pragma once

#include "Surface.h"

#include <QFont>

class QPainter;

namespace palvex {

// A surface that draws with QPainter: the page canvas and the printer share these drawing
// operations and differ only in their painter, the size of their pixels and the raster
// operations they can do.
class PaintingSurface : public Surface {
protected:
    // A painter whose unit is one twip from the drawing area's top-left corner.
    virtual QPainter& beginPaint() = 0;
    virtual void endPaint() {}
    // Pen widths are in the device's pixels.
    virtual double twipsPerDevicePixel() const = 0;
    // Devices that cannot combine colours with raster operations draw with copy pen.
    virtual bool canRasterOp() const = 0;
    // The font that draws a spec at its size in twips on this device.
    virtual QFont deviceFont(const FontSpec& spec) const;

    void drawLine(const QPointF& a, const QPointF& b, int32_t color) override;
    void drawBox(const QRectF& box, int32_t color) override;
    void drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) override;
    void drawImage(const QImage& image, const QRectF& target) override;
    void drawHighlight(const QRectF& area, int32_t color) override;
    void drawText(QStringView text, double leftTwips, double topTwips, double widthTwips) override;

private:
    // One drawing operation's painter, with its state put back afterwards.
    struct Painting {
        // `font`, when given, is set outside the saved state: it stays on the painter for the
        // next text, whose painter then keeps the font engines Qt found for it.
        explicit Painting(PaintingSurface& surface, const QFont* font = nullptr);
        ~Painting();
        QPainter& painter;

    private:
        PaintingSurface& m_surface;
    };
    // A painter over the device in twips with the surface's pen, fill and raster operation;
    // false when the mode draws nothing.
    bool preparePainter(QPainter& painter, int32_t color, bool fill);
};

} // namespace palvex
