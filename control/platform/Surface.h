#pragma once

#include "TextMetrics.h"
#include "core/InternalExport.h"
#include "core/ItemRole.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <cstdint>

namespace palvex {

// A drawing surface with the semantics of a printer object. Units are twips until a scale is
// set: Width/Height are the outer size in twips, ScaleWidth/ScaleHeight the drawing area in user
// units (one unit is Width / ScaleWidth twips across, Height / ScaleHeight down).
// Text runs right to left: CurrentX is the distance of the text's right end from the right edge.
// Setters that the surface refuses throw palvex::Error (380, invalid property value).
class Surface {
public:
    virtual ~Surface() = default;

    // Geometry.
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    float ScaleWidth() const { return m_scaleWidth; }
    float ScaleHeight() const { return m_scaleHeight; }
    float ScaleLeft() const { return m_scaleLeft; }
    float ScaleTop() const { return m_scaleTop; }
    void setWidth(float twips);
    void setHeight(float twips);
    void setScaleWidth(float units);
    void setScaleHeight(float units);
    void setScaleLeft(float units) { m_scaleLeft = units; }
    void setScaleTop(float units) { m_scaleTop = units; }
    // Scale mode twips: the drawing area is the outer size, origin 0.
    void setScaleModeTwips();

    // Cursor.
    float CurrentX() const { return m_currentX; }
    float CurrentY() const { return m_currentY; }
    void setCurrentX(float x) { m_currentX = x; }
    void setCurrentY(float y) { m_currentY = y; }

    // Font and colour.
    const FontSpec& font() const { return m_font; }
    QString FontName() const { return m_font.name; }
    float FontSize() const { return m_font.size; }
    bool FontBold() const { return m_font.bold; }
    bool FontItalic() const { return m_font.italic; }
    bool FontUnderline() const { return m_font.underline; }
    bool FontStrikethru() const { return m_font.strikethru; }
    bool FontTransparent() const { return m_fontTransparent; }
    int32_t ForeColor() const { return m_foreColor; }
    // Puts back a font this surface had before (no checks needed).
    void restoreFont(const FontSpec& font) { m_font = font; }
    void setFontName(const QString& name);
    void setFontSize(float points);
    void setFontBold(bool on) { m_font.bold = on; }
    void setFontItalic(bool on) { m_font.italic = on; }
    void setFontUnderline(bool on) { m_font.underline = on; }
    void setFontStrikethru(bool on) { m_font.strikethru = on; }
    void setFontTransparent(bool on) { m_fontTransparent = on; }
    void setForeColor(int32_t color);

    // Text.
    // Lays `text` out right to left with its right end at ScaleWidth - CurrentX and its top at
    // CurrentY, then moves CurrentX on by its width; with `endLine` the line then ends.
    void Print(QStringView text, bool endLine);
    // CurrentX to 0, CurrentY one line of the current font down.
    void EndLine();
    float TextWidth(QStringView text) const;
    // Marks characters [from, from + length) of `text` that Print drew in `font` from the cursor
    // (x, y): the stretches the layout put them in are tinted with `color`, which multiplies
    // into what is drawn there, so the glyphs stay readable.
    void HighlightText(const QString& text, const FontSpec& font, float x, float y, qsizetype from,
                       qsizetype length, int32_t color);
    // Where Print draws `text` in `font` from the cursor (x, y): the line's box in twips from the
    // surface's top-left corner.
    QRectF textBox(QStringView text, const FontSpec& font, float x, float y) const;
    float TextHeight(QStringView text) const;

    // Clears the drawing and puts the cursor at the origin.
    void Cls();

    // Pen and fill. DrawWidth is in the device's pixels; DrawStyle 0-6 (solid, dash, dot,
    // dash-dot, dash-dot-dot, transparent, inside solid); DrawMode 1-16 (binary raster
    // operations, 13 copy pen); FillStyle 0-7 (solid, transparent, horizontal, vertical, upward
    // diagonal, downward diagonal, cross, diagonal cross). Values out of range are refused.
    int DrawWidth() const { return m_pen.width; }
    int DrawStyle() const { return m_pen.style; }
    int DrawMode() const { return m_pen.mode; }
    int FillStyle() const { return m_pen.fillStyle; }
    int32_t FillColor() const { return m_pen.fillColor; }
    void setDrawWidth(int pixels);
    void setDrawStyle(int style);
    void setDrawMode(int mode);
    void setFillStyle(int style);
    void setFillColor(int32_t color);

    // Graphics take x from the left edge, in user units.
    // A line, or with `box` the rectangle with these corners (filled by FillStyle/FillColor).
    void Line(float x1, float y1, float x2, float y2, int32_t color, bool box);
    // A circle of radius `r` (the larger radius of an ellipse whose height / width is `aspect`),
    // or an arc from `start` to `end` radians counter-clockwise from three o'clock; a negative
    // angle also draws the radius to that point.
    struct Arc {
        float start = 0, end = 0;
    };
    void Circle(float x, float y, float r, int32_t color, const Arc* arc = nullptr,
                float aspect = 1);
    // The image drawn into the rectangle at (x, y) of width w and height h (user units).
    void PaintPicture(const QImage& image, float x, float y, float w, float h);
    // The pixels a picture drawn w x h user units large can show on this device: its own pixels
    // over that size, but never finer than PictureFile::MaxDotsPerInch. Empty where nothing is
    // shown.
    QSize picturePixels(float w, float h) const;

    // What the drawing between the two calls is: one recorded item (or a line of them), with a
    // role that is never Unmarked, and a picture's alternative text. A surface that keeps the
    // document's structure (the PDF device) tags what it draws; surfaces that only show ignore
    // both. Every beginItem is closed by one endItem before the next.
    virtual void beginItem(const ItemTag& tag, QStringView altText) {
        (void)tag;
        (void)altText;
    }
    virtual void endItem() {}

    // Whether what is drawn is kept (the canvas's persistent picture).
    bool AutoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on) { m_autoRedraw = on; }

    // A page: Width/Height are the paper (and any room around it), ScaleWidth/ScaleHeight the
    // printable area, which lies `left`/`top` twips into the paper at this size. A page draws in
    // twips from the printable area's corner, as the printer does, so what is laid out on it
    // prints where it was shown. The corner follows the page when Width or Height change.
    void setPage(float left, float top);
    bool isPage() const { return m_page; }
    // Where the drawing area begins, in twips from the surface's top-left corner.
    double originX() const { return m_page ? m_pageLeft * m_width : 0.0; }
    double originY() const { return m_page ? m_pageTop * m_height : 0.0; }

    // Horizontal and vertical size of one user unit in twips.
    PALVEX_INTERNAL_EXPORT virtual double twipsPerUnitX() const;
    PALVEX_INTERNAL_EXPORT virtual double twipsPerUnitY() const;
    // How many of the device's own pixels lie along one twip; 0 for a surface that shows nothing.
    virtual double devicePixelsPerTwip() const { return 0; }

    struct Pen {
        int width = 1;
        int style = 0;
        int mode = 13;
        int fillStyle = 1;
        int32_t fillColor = 0;
    };
    const Pen& pen() const { return m_pen; }

protected:
    // What a drawing operation reads of the surface: with it, an operation can be drawn later
    // exactly as it would have been drawn now.
    struct DrawingState {
        FontSpec font;
        int32_t foreColor = 0;
        Pen pen;
    };
    DrawingState drawingState() const { return {m_font, m_foreColor, m_pen}; }
    void setDrawingState(const DrawingState& state) {
        m_font = state.font;
        m_foreColor = state.foreColor;
        m_pen = state.pen;
    }

    // Device geometry in twips from the surface's top-left corner.
    virtual void drawLine(const QPointF&, const QPointF&, int32_t) {}
    virtual void drawBox(const QRectF&, int32_t) {}
    virtual void drawEllipse(const QRectF&, int32_t, const Arc*) {}
    virtual void drawImage(const QImage&, const QRectF&) {}
    virtual void drawHighlight(const QRectF&, int32_t) {}
    // Draws `text` (logical order) with its left edge at `leftTwips` and its top at `topTwips`,
    // both measured from the surface's top-left corner; `widthTwips` is its measured advance.
    virtual void drawText(QStringView text, double leftTwips, double topTwips,
                          double widthTwips) = 0;
    virtual void clearDrawing() = 0;
    virtual void geometryChanged() {}

private:
    float m_width = 0, m_height = 0;
    float m_scaleWidth = 0, m_scaleHeight = 0;
    float m_scaleLeft = 0, m_scaleTop = 0;
    bool m_twipsMode = true;
    float m_currentX = 0, m_currentY = 0;
    FontSpec m_font;
    bool m_fontTransparent = true;
    int32_t m_foreColor = 0;
    bool m_autoRedraw = false;
    Pen m_pen;
    bool m_page = false;
    double m_pageLeft = 0, m_pageTop = 0; // the printable corner as a fraction of Width, Height

    QPointF toDevice(float x, float y) const;
};

// A surface that only measures: the hidden recording surface, whose pixels nobody reads.
class MeasuringSurface final : public Surface {
protected:
    void drawText(QStringView, double, double, double) override {}
    void clearDrawing() override {}
};

} // namespace palvex
