#include "Surface.h"

#include "Colors.h"
#include "FontCatalog.h"
#include "PictureFile.h"
#include "core/Guarded.h"

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {
// 0x00BBGGRR, or one of the system's colours.
void requireColor(int32_t color) {
    if (!isValidColor(color))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("&H%1 is not a colour: &H00BBGGRR, or a system colour &H80000000 "
                              "to &H80000018")
                   .arg(QString::number(uint32_t(color), 16)
                            .toUpper()
                            .rightJustified(8, QLatin1Char('0'))));
}
} // namespace

void Surface::setWidth(float twips) {
    m_width = twips;
    if (m_twipsMode) m_scaleWidth = twips;
    geometryChanged();
}

void Surface::setHeight(float twips) {
    m_height = twips;
    if (m_twipsMode) m_scaleHeight = twips;
    geometryChanged();
}

void Surface::setScaleWidth(float units) {
    m_twipsMode = false;
    m_scaleWidth = units;
}

void Surface::setScaleHeight(float units) {
    m_twipsMode = false;
    m_scaleHeight = units;
}

void Surface::setScaleModeTwips() {
    m_twipsMode = true;
    m_scaleWidth = m_width;
    m_scaleHeight = m_height;
    m_scaleLeft = m_scaleTop = 0;
}

void Surface::setPage(float left, float top) {
    m_page = true;
    m_pageLeft = m_width > 0 ? double(left) / m_width : 0.0;
    m_pageTop = m_height > 0 ? double(top) / m_height : 0.0;
}

double Surface::twipsPerUnitX() const {
    if (m_page) return 1.0;
    return (m_scaleWidth > 0 && m_width > 0) ? double(m_width) / m_scaleWidth : 1.0;
}

double Surface::twipsPerUnitY() const {
    if (m_page) return 1.0;
    return (m_scaleHeight > 0 && m_height > 0) ? double(m_height) / m_scaleHeight : 1.0;
}

void Surface::setFontName(const QString& name) {
    if (!FontCatalog::instance().isKnown(name))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("no font is named \"%1\" (or the name is longer than 31 bytes)")
                   .arg(name));
    m_font.name = name.trimmed();
}

void Surface::setFontSize(float points) {
    if (!(points >= 1 && points <= 2160)) // NaN too
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("a font size of %1 points is not 1 to 2160").arg(double(points)));
    m_font.size = points;
}

void Surface::setForeColor(int32_t color) {
    requireColor(color);
    m_foreColor = color;
}

float Surface::TextWidth(QStringView text) const {
    return float(TextMetrics::width(m_font, text) / twipsPerUnitX());
}

float Surface::TextHeight(QStringView text) const {
    const qsizetype lines = std::max<qsizetype>(1, text.count(QLatin1Char('\n')) + 1);
    return float(lines * TextMetrics::lineHeight(m_font) / twipsPerUnitY());
}

void Surface::Print(QStringView text, bool endLine) {
    if (!text.isEmpty()) {
        const QRectF box = textBox(text, m_font, m_currentX, m_currentY);
        drawText(text, box.left(), box.top(), box.width());
        m_currentX = float(m_currentX + box.width() / twipsPerUnitX());
    }
    if (endLine) EndLine();
}

QRectF Surface::textBox(QStringView text, const FontSpec& font, float x, float y) const {
    const double widthTwips = TextMetrics::width(font, text);
    const double left =
        originX() + (double(m_scaleWidth) - x - m_scaleLeft) * twipsPerUnitX() - widthTwips;
    const double top = originY() + (double(y) - m_scaleTop) * twipsPerUnitY();
    return QRectF(left, top, widthTwips, TextMetrics::lineHeight(font));
}

void Surface::HighlightText(const QString& text, const FontSpec& font, float x, float y,
                            qsizetype from, qsizetype length, int32_t color) {
    const QRectF line = textBox(text, font, x, y);
    for (const TextMetrics::Stretch& s : TextMetrics::stretchesOf(font, text, from, length))
        drawHighlight(QRectF(line.left() + s.left, line.top(), s.right - s.left, line.height()),
                      color);
}

void Surface::EndLine() {
    m_currentX = 0;
    m_currentY = float(m_currentY + TextMetrics::lineHeight(m_font) / twipsPerUnitY());
}

void Surface::Cls() {
    clearDrawing();
    m_currentX = m_scaleLeft;
    m_currentY = m_scaleTop;
}

} // namespace palvex

namespace palvex {

void Surface::setDrawWidth(int pixels) {
    if (pixels < 1 || pixels > 32767)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("a draw width of %1 pixels is not 1 to 32767").arg(pixels));
    m_pen.width = pixels;
}

void Surface::setDrawStyle(int style) {
    if (style < 0 || style > 6)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("draw style %1 is not 0 (solid) to 6 (inside solid)").arg(style));
    m_pen.style = style;
}

void Surface::setDrawMode(int mode) {
    if (mode < 1 || mode > 16)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("draw mode %1 is not 1 to 16 (13 copies the pen)").arg(mode));
    m_pen.mode = mode;
}

void Surface::setFillStyle(int style) {
    if (style < 0 || style > 7)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("fill style %1 is not 0 (solid) to 7 (diagonal cross)").arg(style));
    m_pen.fillStyle = style;
}

void Surface::setFillColor(int32_t color) {
    requireColor(color);
    m_pen.fillColor = color;
}

QPointF Surface::toDevice(float x, float y) const {
    return {originX() + (double(x) - m_scaleLeft) * twipsPerUnitX(),
            originY() + (double(y) - m_scaleTop) * twipsPerUnitY()};
}

void Surface::Line(float x1, float y1, float x2, float y2, int32_t color, bool box) {
    requireColor(color);
    const QPointF a = toDevice(x1, y1), b = toDevice(x2, y2);
    if (box)
        drawBox(QRectF(a, b).normalized(), color);
    else
        drawLine(a, b, color);
    m_currentX = x2; // the pen ends at the far corner
    m_currentY = y2;
}

void Surface::Circle(float x, float y, float r, int32_t color, const Arc* arc, float aspect) {
    requireColor(color);
    if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
    // r is the larger of the two radii.
    const double rx = aspect <= 1 ? r : r / aspect;
    const double ry = aspect <= 1 ? r * aspect : r;
    const QPointF c = toDevice(x, y);
    const QRectF bounds(c.x() - rx * twipsPerUnitX(), c.y() - ry * twipsPerUnitY(),
                        2 * rx * twipsPerUnitX(), 2 * ry * twipsPerUnitY());
    drawEllipse(bounds, color, arc);
    m_currentX = x;
    m_currentY = y;
}

void Surface::PaintPicture(const QImage& image, float x, float y, float w, float h) {
    if (image.isNull() || !(w > 0) || !(h > 0)) return;
    const QPointF a = toDevice(x, y), b = toDevice(x + w, y + h);
    drawImage(image, QRectF(a, b));
}

QSize Surface::picturePixels(float w, float h) const {
    if (!(w > 0) || !(h > 0)) return {};
    const double density = std::min(devicePixelsPerTwip(), PictureFile::MaxDotsPerInch / 1440);
    if (!(density > 0)) return {};
    // The picture's own pixels bound a side later; here it only stays within an int.
    auto side = [&](double twips) { return int(std::min(std::ceil(twips * density), 1e9)); };
    return {side(w * twipsPerUnitX()), side(h * twipsPerUnitY())};
}

} // namespace palvex
