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
    // The printer set-up dialog for the named printer; false when cancelled.
    virtual bool printerSetup(const QString& printerName, QWidget* parent) = 0;
};

class QtDialogs final : public Dialogs {
public:
    std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) override;
    bool printerSetup(const QString& printerName, QWidget* parent) override;
};

// Headless: answers from a queue; a dialog without a queued answer is cancelled.
class ScriptedDialogs final : public Dialogs {
public:
    void queueColor(std::optional<int32_t> answer) { m_colors.push_back(answer); }
    std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) override;
    void queueSetup(bool ok) { m_setups.push_back(ok); }
    bool printerSetup(const QString& printerName, QWidget* parent) override;

private:
    std::deque<std::optional<int32_t>> m_colors;
    std::deque<bool> m_setups;
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
