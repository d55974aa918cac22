#pragma once

#include <QString>

#include <cstdint>
#include <deque>
#include <optional>

class QWidget;

namespace palvex {

// The platform's dialogs the control opens: the colour dialog (and, for printing, the printer
// set-up dialog).
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen colour (0x00BBGGRR), or nothing when the user cancels.
    virtual std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) = 0;
};

class QtDialogs final : public Dialogs {
public:
    std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) override;
};

// Headless: answers from a queue; a dialog without a queued answer is cancelled.
class ScriptedDialogs final : public Dialogs {
public:
    void queueColor(std::optional<int32_t> answer) { m_colors.push_back(answer); }
    std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) override;

private:
    std::deque<std::optional<int32_t>> m_colors;
};

// Keyboard layouts by their identifiers ("00000409" US English, "0000040D" Hebrew). Without a
// way to switch the system's layout the request is remembered; callers keep their own flag.
class KeyboardLayouts {
public:
    virtual ~KeyboardLayouts() = default;
    virtual void activate(const QString& layoutId) { m_active = layoutId; }
    QString active() const { return m_active; }

private:
    QString m_active;
};

} // namespace palvex
