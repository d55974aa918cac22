#pragma once

#include <QToolButton>

namespace palvex {

// A tool button that shows a sign ("+", "-") and says what it does in its tool tip: a screen
// reader names it by the tool tip, which the host may reword, rather than by the sign.
class TipNamedButton final : public QToolButton {
public:
    explicit TipNamedButton(QWidget* parent) : QToolButton(parent) {}

protected:
    bool event(QEvent* event) override;
};

} // namespace palvex
