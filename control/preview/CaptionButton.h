#pragma once

#include <QPushButton>

namespace palvex {

// A tool bar button whose caption stays readable when the bar is narrow (an 800-pixel screen
// gives each button some 60 pixels): a caption that does not fit beside its icon is drawn
// without the icon over as many lines as the button's height holds, and elided after that; the
// whole caption is then the tool tip. text() stays the caption the host set.
class CaptionButton final : public QPushButton {
public:
    explicit CaptionButton(QWidget* parent) : QPushButton(parent) {}

    // Whether the caption fits on one line beside the icon at the button's present size.
    bool captionFits() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace palvex
