#include "Dialogs.h"

#include "Colors.h"

#include <QColorDialog>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace palvex {

std::optional<int32_t> QtDialogs::chooseColor(int32_t initial, QWidget* parent) {
    const QColor color = QColorDialog::getColor(toQColor(initial), parent);
    if (!color.isValid()) return std::nullopt;
    return fromQColor(color);
}

bool QtDialogs::printerSetup(const QString& printerName, QWidget* parent) {
    QPrinter printer(QPrinterInfo::printerInfo(printerName));
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool ScriptedDialogs::printerSetup(const QString&, QWidget*) {
    if (m_setups.empty()) return false;
    const bool ok = m_setups.front();
    m_setups.pop_front();
    return ok;
}

std::optional<int32_t> ScriptedDialogs::chooseColor(int32_t, QWidget*) {
    if (m_colors.empty()) return std::nullopt;
    const std::optional<int32_t> answer = m_colors.front();
    m_colors.pop_front();
    return answer;
}

} // namespace palvex
