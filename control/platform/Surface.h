#pragma once

#include "TextMetrics.h"

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
    float TextHeight(QStringView text) const;

    // Clears the drawing and puts the cursor at the origin.
    void Cls();

    // Whether what is drawn is kept (the canvas's persistent picture).
    bool AutoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on) { m_autoRedraw = on; }

    // Horizontal and vertical size of one user unit in twips.
    double twipsPerUnitX() const;
    double twipsPerUnitY() const;

protected:
    // Draws `text` (logical order) with its left edge at `leftTwips` and its top at `topTwips`,
    // both measured from the surface's top-left corner; `widthTwips` is its measured advance.
    virtual void drawText(QStringView text, double leftTwips, double topTwips, double widthTwips) = 0;
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
};

// A surface that only measures: the hidden recording surface, whose pixels nobody reads.
class MeasuringSurface final : public Surface {
protected:
    void drawText(QStringView, double, double, double) override {}
    void clearDrawing() override {}
};

} // namespace palvex
