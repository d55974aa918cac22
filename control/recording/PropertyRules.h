#pragma once

#include "platform/Platform.h"
#include "recording/ReportState.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace palvex {

class ImageSurface;
class MessageBoxes;

// How the host's property sets reach the control: the kept value is stored, the host is told
// that the property changed, and the value is applied to the current drawing surface and the
// page canvas. An illegal colour, font name or font size is reported once per instance and
// replaced by a safe value.
class PropertyRules {
public:
    // The values are kept in `report` and applied to `canvas`; warnings go through `boxes`, over
    // `window` (the control's).
    PropertyRules(ReportState& report, ImageSurface& canvas, MessageBoxes& boxes,
                  const Ambient& ambient, QWidget* window)
        : m_report(report), m_canvas(canvas), m_boxes(boxes), m_ambient(ambient), m_window(window) {
    }

    // The host is told that a saved property changed.
    std::function<void(const QString& name)> onChanged;
    // A new preview colour for the window around the page.
    std::function<void(const QColor& color)> onBackColor;

    void setForeColor(int32_t color);
    void setFontName(const QString& name);
    void setFontSize(float points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setCurrentX(float x);
    void setCurrentY(float y);
    void setBackColor(int32_t color);

    // Refusals by the host's mode: a get refused at run time, a set refused at design time,
    // a set refused always (387 at design time, 382 at run time).
    void requireDesignTimeForGet() const;
    void requireRunTimeForSet() const;
    [[noreturn]] void refuseSet() const;

    void changed(const char* name);

    // The one-time warning of an illegal value of this kind.
    void warnIllegal(IllegalValue kind);

private:
    // Shows a warning the first time one of its kind occurs; true when shown.
    bool warnOnce(bool& flag, const QString& text);

    ReportState& m_report;
    ImageSurface& m_canvas;
    MessageBoxes& m_boxes;
    const Ambient& m_ambient;
    QWidget* m_window;
};

} // namespace palvex
