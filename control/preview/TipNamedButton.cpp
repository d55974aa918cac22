#include "TipNamedButton.h"

#include <QEvent>

namespace palvex {

bool TipNamedButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTipChange) setAccessibleName(toolTip());
    return QToolButton::event(event);
}

} // namespace palvex
