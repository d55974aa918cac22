#include "PropertyRules.h"
#include "core/Guarded.h"

#include "platform/Colors.h"
#include "platform/ImageSurface.h"
#include "platform/MessageBoxes.h"

namespace palvex {

namespace {
const QString& illegalForeColorText() {
    static const QString text = QStringLiteral("You defined illegal ForeColor.\n"
                                               "That ForeColor, for now changed to black.\n"
                                               "Please contact your software supplier.");
    return text;
}
const QString& illegalFontNameText() {
    static const QString text = QStringLiteral("You defined illegal FontName.\n"
                                               "That FontName, for now changed to Ms Sans Serif.\n"
                                               "Please contact your software supplier.");
    return text;
}
const QString& illegalFontSizeText() {
    static const QString text =
        QStringLiteral("You defined illegal FontSize\n"
                       "Size less then 1.That FontSize, for now changed to 12.\n"
                       "Please contact your software supplier.");
    return text;
}
} // namespace

void PropertyRules::changed(const char* name) {
    if (onChanged) onChanged(QString::fromLatin1(name));
}

bool PropertyRules::warnOnce(bool& flag, const QString& text) {
    if (flag) return false;
    flag = true;
    MessageBoxes& boxes = m_boxes;
    boxes.beep();
    const int answer = boxes.show(text, MessageBoxes::Exclamation, m_window);
    m_report.lastAnswer = QString::number(answer);
    return true;
}

void PropertyRules::warnIllegal(IllegalValue kind) {
    WarningFlags& warned = m_report.warned;
    switch (kind) {
    case IllegalValue::Color:
        warnOnce(warned.color, illegalForeColorText());
        break;
    case IllegalValue::FontName:
        warnOnce(warned.fontName, illegalFontNameText());
        break;
    case IllegalValue::FontSize:
        warnOnce(warned.fontSize, illegalFontSizeText());
        break;
    }
}

void PropertyRules::setForeColor(int32_t color) {
    ReportState& s = m_report;
    s.props.ForeColor = color;
    changed("ForeColor");
    try {
        if (Surface* surface = s.lines.surface()) surface->setForeColor(color);
        m_canvas.setForeColor(color);
    } catch (const Error&) {
        if (warnOnce(s.warned.color, illegalForeColorText())) s.props.ForeColor = 0;
    }
}

void PropertyRules::setFontName(const QString& name) {
    ReportState& s = m_report;
    s.props.FontName = name;
    changed("FontName");
    auto apply = [&](const QString& value) {
        if (Surface* surface = s.lines.surface()) surface->setFontName(value);
        m_canvas.setFontName(value);
    };
    try {
        apply(name.trimmed());
    } catch (const Error&) {
        // Every time, not only the first: what prints is the fallback, and the property reads
        // what prints. The warning comes once.
        s.props.FontName = QStringLiteral("Ms Sans Serif");
        apply(s.props.FontName);
        warnOnce(s.warned.fontName, illegalFontNameText());
    }
}

void PropertyRules::setFontSize(float points) {
    ReportState& s = m_report;
    s.props.FontSize = points;
    changed("FontSize");
    try {
        if (Surface* surface = s.lines.surface()) surface->setFontSize(points);
        m_canvas.setFontSize(points);
    } catch (const Error&) {
        if (warnOnce(s.warned.fontSize, illegalFontSizeText())) s.props.FontSize = 12;
    }
}

void PropertyRules::setFontBold(bool on) {
    m_report.props.FontBold = on;
    changed("FontBold");
    if (Surface* surface = m_report.lines.surface()) surface->setFontBold(on);
    m_canvas.setFontBold(on);
}

void PropertyRules::setFontItalic(bool on) {
    m_report.props.FontItalic = on;
    changed("FontItalic");
    if (Surface* surface = m_report.lines.surface()) surface->setFontItalic(on);
    m_canvas.setFontItalic(on);
}

void PropertyRules::setFontUnderline(bool on) {
    m_report.props.FontUnderline = on;
    changed("FontUnderline");
    if (Surface* surface = m_report.lines.surface()) surface->setFontUnderline(on);
    m_canvas.setFontUnderline(on);
}

void PropertyRules::setCurrentX(float x) {
    m_report.props.CurrentX = x;
    changed("CurrentX");
    if (Surface* surface = m_report.lines.surface()) surface->setCurrentX(x);
    m_canvas.setCurrentX(x);
}

void PropertyRules::setCurrentY(float y) {
    m_report.props.CurrentY = y;
    changed("CurrentY");
    if (Surface* surface = m_report.lines.surface()) surface->setCurrentY(y);
    m_canvas.setCurrentY(y);
}

void PropertyRules::setBackColor(int32_t color) {
    if (!isValidColor(color)) raise(Status::InvalidPropertyValue);
    m_report.props.BackColor = color;
    changed("BackColor");
    const QColor qcolor = toQColor(color);
    if (onBackColor) onBackColor(qcolor);
    m_canvas.setBackColor(qcolor);
}

void PropertyRules::requireDesignTimeForGet() const {
    if (m_ambient.userMode) raise(Status::GetNotSupportedAtRunTime);
}

void PropertyRules::requireRunTimeForSet() const {
    if (!m_ambient.userMode) raise(Status::SetNotPermitted);
}

void PropertyRules::refuseSet() const {
    raise(m_ambient.userMode ? Status::SetNotSupportedAtRunTime : Status::SetNotPermitted);
}

} // namespace palvex
