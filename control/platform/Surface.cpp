#include "Surface.h"

#include "Colors.h"
#include "FontCatalog.h"
#include "interface/Status.h"

#include <cmath>

namespace palvex {

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

double Surface::twipsPerUnitX() const {
    return (m_scaleWidth > 0 && m_width > 0) ? double(m_width) / m_scaleWidth : 1.0;
}

double Surface::twipsPerUnitY() const {
    return (m_scaleHeight > 0 && m_height > 0) ? double(m_height) / m_scaleHeight : 1.0;
}

void Surface::setFontName(const QString& name) {
    if (!FontCatalog::instance().isKnown(name)) raise(Status::InvalidPropertyValue);
    m_font.name = name.trimmed();
}

void Surface::setFontSize(float points) {
    if (!(points >= 1 && points <= 2160)) raise(Status::InvalidPropertyValue); // NaN too
    m_font.size = points;
}

void Surface::setForeColor(int32_t color) {
    if (!isValidColor(color)) raise(Status::InvalidPropertyValue);
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
        const double widthTwips = TextMetrics::width(m_font, text);
        const double unitX = twipsPerUnitX();
        const double rightUnits = double(m_scaleWidth) - m_currentX;
        const double leftTwips = (rightUnits - m_scaleLeft) * unitX - widthTwips;
        const double topTwips = (double(m_currentY) - m_scaleTop) * twipsPerUnitY();
        drawText(text, leftTwips, topTwips, widthTwips);
        m_currentX = float(m_currentX + widthTwips / unitX);
    }
    if (endLine) EndLine();
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
