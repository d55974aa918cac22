#pragma once

#include "platform/MessageBoxes.h"

#include <QString>

#include <functional>
#include <memory>

namespace palvex {

// The control's message boxes, which a host may take over: with `toHost` set, a message that
// asks nothing goes to `onMessage` and is kept as the last message instead of blocking in a
// modal box. A Yes/No question still asks the user, since its caller needs the answer there
// and then.
class HostMessageBoxes final : public MessageBoxes {
public:
    explicit HostMessageBoxes(std::shared_ptr<MessageBoxes> boxes) : m_boxes(std::move(boxes)) {}

    bool toHost = false;
    std::function<void(int flags, const QString& text)> onMessage;
    // The last message handed to the host; empty until one was.
    const QString& lastMessage() const { return m_lastMessage; }

    int show(const QString& text, int flags, QWidget* parent) override;
    void beep() override { m_boxes->beep(); }

private:
    std::shared_ptr<MessageBoxes> m_boxes;
    QString m_lastMessage;
};

} // namespace palvex
