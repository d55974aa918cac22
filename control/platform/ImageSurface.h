#pragma once

#include "PaintingSurface.h"
#include "core/InternalExport.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <optional>

namespace palvex {

// A surface over a retained image: the page canvas. The image covers Width x Height twips at
// `pixelsPerTwip` logical pixels per twip times the device pixel ratio, so a page stays crisp
// on high-density screens.
class ImageSurface final : public PaintingSurface {
public:
    explicit ImageSurface(double pixelsPerTwip = 1.0 / 15, double devicePixelRatio = 1.0);

    void setPixelsPerTwip(double pixelsPerTwip);
    void setDevicePixelRatio(double ratio);
    double devicePixelRatio() const { return m_devicePixelRatio; }
    void setBackColor(const QColor& color);
    QColor backColor() const { return m_backColor; }

    // The picture as drawn so far (sized to the surface).
    PALVEX_INTERNAL_EXPORT const QImage& image();

protected:
    QPainter& beginPaint() override;
    void endPaint() override;
    // The screen's logical pixels, 15 twips each, whatever the zoom of the image.
    double twipsPerDevicePixel() const override { return 1.0 / m_pixelsPerTwip; }
    bool canRasterOp() const override { return true; }
    void clearDrawing() override;
    void geometryChanged() override { m_stale = true; }

private:
    void ensureImage();

    double m_pixelsPerTwip;
    double m_devicePixelRatio;
    QColor m_backColor = Qt::white;
    QImage m_image;
    std::optional<QPainter> m_painter;
    bool m_stale = true;
};

} // namespace palvex
