#pragma once

#include "core/InternalExport.h"

#include <optional>

namespace palvex {

// The screen as the control sees it: size in twips at 15 twips per logical pixel, and the mouse
// pointer. The size can be injected (headless runs default to 9600 x 7200 twips).
class PALVEX_INTERNAL_EXPORT Screen {
public:
    static constexpr int TwipsPerPixel = 15;

    Screen() = default;
    Screen(float widthTwips, float heightTwips) : m_injected{{widthTwips, heightTwips}} {}
    virtual ~Screen();

    float widthTwips() const;
    float heightTwips() const;

    // Hourglass while long work runs; normal afterwards.
    virtual void setWaitCursor(bool on);
    bool waitCursor() const { return m_wait; }

private:
    struct Size {
        float width, height;
    };
    Size size() const;

    std::optional<Size> m_injected;
    bool m_wait = false;
};

} // namespace palvex
