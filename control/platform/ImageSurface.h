#pragma once

#include "PaintingSurface.h"
#include "core/InternalExport.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <functional>
#include <optional>
#include <vector>

namespace palvex {

// A surface over a retained image: the page canvas. The image covers Width x Height twips at
// `pixelsPerTwip` logical pixels per twip times the device pixel ratio, so a page stays crisp
// on high-density screens.
// The image is made when its pixels are first read. Until then what is drawn is kept as a list
// and drawn on it then, so a host that records and prints without ever showing the preview
// does not hold a page of pixels (3.6 MB for A4, four times that on a doubled screen).
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
    // Whether the image has been made: only once someone read it.
    bool holdsPixels() const { return !m_image.isNull(); }
    // The image's pixels, whatever the zoom: a picture shows as finely as a doubled screen can.
    double devicePixelsPerTwip() const override { return m_pixelsPerTwip * m_devicePixelRatio; }

protected:
    QPainter& beginPaint() override;
    void endPaint() override;
    // The screen's logical pixels, 15 twips each, whatever the zoom of the image.
    double twipsPerDevicePixel() const override { return 1.0 / m_pixelsPerTwip; }
    bool canRasterOp() const override { return true; }
    void clearDrawing() override;
    void geometryChanged() override { m_stale = true; }

    void drawLine(const QPointF& a, const QPointF& b, int32_t color) override;
    void drawBox(const QRectF& box, int32_t color) override;
    void drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) override;
    void drawImage(const QImage& image, const QRectF& target) override;
    void drawHighlight(const QRectF& area, int32_t color) override;
    void drawText(QStringView text, double leftTwips, double topTwips, double widthTwips) override;

private:
    void ensureImage();
    // Draws `draw` now when there is an image, or keeps it with the state it draws in.
    void drawOrKeep(std::function<void()> draw);
    void drawKept();

    struct KeptDrawing {
        DrawingState state;
        std::function<void()> draw;
    };
    std::vector<KeptDrawing> m_kept;
    std::optional<QColor> m_blankColor; // the back colour when the image not yet made was cleared

    double m_pixelsPerTwip;
    double m_devicePixelRatio;
    QColor m_backColor = Qt::white;
    QImage m_image;
    std::optional<QPainter> m_painter;
    bool m_stale = true;
};

} // namespace palvex
