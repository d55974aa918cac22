#pragma once

#include "Surface.h"

#include <QColor>
#include <QImage>

namespace palvex {

// A surface over a retained image: the page canvas. The image covers Width x Height twips at
// `pixelsPerTwip` logical pixels per twip times the device pixel ratio, so a page stays crisp
// on high-density screens.
class ImageSurface final : public Surface {
public:
    explicit ImageSurface(double pixelsPerTwip = 1.0 / 15, double devicePixelRatio = 1.0);

    void setPixelsPerTwip(double pixelsPerTwip);
    void setDevicePixelRatio(double ratio);
    double devicePixelRatio() const { return m_devicePixelRatio; }
    void setBackColor(const QColor& color);
    QColor backColor() const { return m_backColor; }

    // The picture as drawn so far (sized to the surface).
    const QImage& image();

protected:
    void drawLine(const QPointF& a, const QPointF& b, int32_t color) override;
    void drawBox(const QRectF& box, int32_t color) override;
    void drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) override;
    void drawImage(const QImage& image, const QRectF& target) override;
    void drawText(QStringView text, double leftTwips, double topTwips, double widthTwips) override;
    void clearDrawing() override;
    void geometryChanged() override { m_stale = true; }

private:
    void ensureImage();
    // A painter over the image in twips with the surface's pen, fill and raster operation;
    // false when the mode draws nothing.
    bool preparePainter(QPainter& painter, int32_t color, bool fill);

    double m_pixelsPerTwip;
    double m_devicePixelRatio;
    QColor m_backColor = Qt::white;
    QImage m_image;
    bool m_stale = true;
};

} // namespace palvex
