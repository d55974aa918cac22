#include "Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace palvex {

namespace {
constexpr uint32_t SystemBase = 0x80000000u;
constexpr int SystemCount = 25;

// The palette roles that stand nearest to the classic system colour indexes.
QColor systemColor(int index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 0:
        return palette.color(QPalette::Window); // scroll bars
    case 1:
        return palette.color(QPalette::Dark); // desktop
    case 2:
        return palette.color(QPalette::Highlight); // active caption
    case 3:
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 4:
        return palette.color(QPalette::Window); // menu bar
    case 5:
        return palette.color(QPalette::Base); // window background
    case 6:
        return palette.color(QPalette::Shadow); // window frame
    case 7:
        return palette.color(QPalette::WindowText); // menu text
    case 8:
        return palette.color(QPalette::Text); // window text
    case 9:
        return palette.color(QPalette::HighlightedText); // caption text
    case 10:
        return palette.color(QPalette::Mid); // active border
    case 11:
        return palette.color(QPalette::Midlight); // inactive border
    case 12:
        return palette.color(QPalette::Dark); // application workspace
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 15:
        return palette.color(QPalette::Button);
    case 16:
        return palette.color(QPalette::Dark); // button shadow
    case 17:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::ButtonText);
    case 19:
        return palette.color(QPalette::Inactive, QPalette::WindowText);
    case 20:
        return palette.color(QPalette::Light); // button highlight
    case 21:
        return palette.color(QPalette::Shadow); // 3-D dark shadow
    case 22:
        return palette.color(QPalette::Midlight); // 3-D light
    case 23:
        return palette.color(QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::ToolTipBase);
    }
    return Qt::black;
}
} // namespace

bool isValidColor(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    return u <= 0x00FFFFFFu || (u >= SystemBase && u < SystemBase + SystemCount);
}

QColor toQColor(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    if (u <= 0x00FFFFFFu) return QColor(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
    if (u >= SystemBase && u < SystemBase + SystemCount) return systemColor(int(u - SystemBase));
    return Qt::black;
}

int32_t fromQColor(const QColor& color) {
    return int32_t(color.red() | (color.green() << 8) | (color.blue() << 16));
}

} // namespace palvex
