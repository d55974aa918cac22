#include "HostMessageBoxes.h"

namespace palvex {

int HostMessageBoxes::show(const QString& text, int flags, QWidget* parent) {
    const bool question = (flags & 7) == YesNo;
    if (!toHost || question) return m_boxes->show(text, flags, parent);
    m_lastMessage = text;
    if (onMessage) onMessage(flags, text);
    // The one button of a box that asks nothing: the caller goes on as if it was pressed.
    return AnswerOk;
}

} // namespace palvex
