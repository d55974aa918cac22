#include "MessageBoxes.h"

#include "DisplayPlatform.h"

#include <QApplication>
#include <QMessageBox>

namespace palvex {

int QtMessageBoxes::show(const QString& text, int flags, QWidget* parent) {
    const bool yesNo = (flags & 7) == YesNo;
    // Where no one can see a box or press its buttons, a modal box would wait for ever: a
    // headless export job would hang on its first warning.
    if (DisplayPlatform::screenless()) {
        // The text goes to the log, and the box answers as its first button would.
        qWarning("palvex: %s", qPrintable(text));
        return yesNo ? AnswerYes : AnswerOk;
    }
    QMessageBox box(parent);
    box.setText(text);
    if ((flags & Exclamation) == Exclamation)
        box.setIcon(QMessageBox::Warning);
    else if (flags & Information)
        box.setIcon(QMessageBox::Information);
    box.setStandardButtons(yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    if (flags & RtlReading) box.setLayoutDirection(Qt::RightToLeft);
    if (flags & RightAlign)
        box.setStyleSheet(
            QStringLiteral("QLabel { qproperty-alignment: 'AlignRight | AlignVCenter'; }"));
    const int pressed = box.exec();
    if (yesNo) return pressed == QMessageBox::Yes ? AnswerYes : AnswerNo;
    return AnswerOk;
}

void QtMessageBoxes::beep() {
    QApplication::beep();
}

void ScriptedMessageBoxes::report(const QString& line) {
    m_log.push_back(line);
    if (m_listener) m_listener(line);
}

int ScriptedMessageBoxes::show(const QString& text, int flags, QWidget*) {
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    report(QStringLiteral("msgbox %1: %2").arg(flags).arg(shown));
    const bool yesNo = (flags & 7) == YesNo;
    int answer = yesNo ? AnswerYes : AnswerOk;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    return answer;
}

void ScriptedMessageBoxes::beep() {
    report(QStringLiteral("beep"));
}

} // namespace palvex
