#pragma once

#include "platform/Surface.h"

#include <cstdint>

namespace palvex {

// Footers, headers and a table's header row record in fonts of their own, which must not leak
// into the text the host records next: afterwards the surface carries again the font its
// properties say.
class HostFontKept {
public:
    explicit HostFontKept(Surface& surface)
        : m_surface(surface), m_font(surface.font()), m_color(surface.ForeColor()) {}
    HostFontKept(const HostFontKept&) = delete;
    HostFontKept& operator=(const HostFontKept&) = delete;
    ~HostFontKept() {
        m_surface.restoreFont(m_font);
        try {
            m_surface.setForeColor(m_color); // the surface's own value, so never refused
        } catch (...) {
        }
    }

private:
    Surface& m_surface;
    const FontSpec m_font;
    const int32_t m_color;
};

} // namespace palvex
