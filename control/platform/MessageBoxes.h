#pragma once

#include "core/InternalExport.h"

#include <QString>

#include <deque>
#include <functional>

class QWidget;

namespace palvex {

// Message boxes with the classic style flags, and the system beep.
class MessageBoxes {
public:
    // Style flags.
    static constexpr int OkOnly = 0;
    static constexpr int YesNo = 4;
    static constexpr int Exclamation = 48;
    static constexpr int Information = 64;
    static constexpr int RightAlign = 524288;
    static constexpr int RtlReading = 1048576;
    // Answers.
    static constexpr int AnswerOk = 1;
    static constexpr int AnswerYes = 6;
    static constexpr int AnswerNo = 7;

    virtual ~MessageBoxes() = default;
    // Shows `text` (lines separated by "\n") and returns the button pressed.
    virtual int show(const QString& text, int flags, QWidget* parent) = 0;
    virtual void beep() = 0;
};

// Real dialogs: QMessageBox honouring the icon, Yes/No, right alignment and right-to-left flags.
class QtMessageBoxes final : public MessageBoxes {
public:
    int show(const QString& text, int flags, QWidget* parent) override;
    void beep() override;
};

// Headless: every box and beep is reported to `events`, and answered from a queue
// (OK or Yes when the queue is empty).
class PALVEX_INTERNAL_EXPORT ScriptedMessageBoxes final : public MessageBoxes {
public:
    using Listener = std::function<void(const QString& line)>;
    explicit ScriptedMessageBoxes(Listener listener = {}) : m_listener(std::move(listener)) {}

    void queueAnswer(int answer) { m_answers.push_back(answer); }
    int show(const QString& text, int flags, QWidget* parent) override;
    void beep() override;

    // What was shown, as "msgbox FLAGS: text" lines, for tests.
    const std::deque<QString>& log() const { return m_log; }
    void clearLog() { m_log.clear(); }

private:
    void report(const QString& line);

    Listener m_listener;
    std::deque<int> m_answers;
    std::deque<QString> m_log;
};

} // namespace palvex
