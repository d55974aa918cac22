#include "Dialogs.h"

#include "Colors.h"

#include <QColorDialog>

namespace palvex {

std::optional<int32_t> QtDialogs::chooseColor(int32_t initial, QWidget* parent) {
    const QColor color = QColorDialog::getColor(toQColor(initial), parent);
    if (!color.isValid()) return std::nullopt;
    return fromQColor(color);
}

std::optional<int32_t> ScriptedDialogs::chooseColor(int32_t, QWidget*) {
    if (m_colors.empty()) return std::nullopt;
    const std::optional<int32_t> answer = m_colors.front();
    m_colors.pop_front();
    return answer;
}

} // namespace palvex
