#pragma once

#include <QString>

class QWidget;

namespace palvex {

class MessageBoxes;

// The control's own four messages (txtMessageType) in its style: right-aligned, all but "not
// found" reading right to left. The answer to a question, and to "not found", is kept as the
// last answer for the host to read.
class ControlMessages {
public:
    ControlMessages(MessageBoxes& boxes, QWidget& parent, QString& lastAnswer)
        : m_boxes(boxes), m_parent(parent), m_lastAnswer(lastAnswer) {}

    // The box's answer; 0 for an unknown kind, which shows nothing.
    int show(int kind, const QString& text);
    // A problem of the control's own beyond those four (a file the preview could not write), in
    // the same style as the printer problem.
    void problem(const QString& text);

private:
    MessageBoxes& m_boxes;
    QWidget& m_parent;
    QString& m_lastAnswer;
};

} // namespace palvex
