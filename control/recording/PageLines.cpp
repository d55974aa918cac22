#include "PageLines.h"

#include "core/Guarded.h"

namespace palvex {

Surface& PageLines::recordingSurface() const {
    if (!m_surface)
        refuse(Status::BadFileName,
               QStringLiteral("no report is being recorded; call StartPalvexPrintPreview first"));
    return *m_surface;
}

void PageLines::placePageNumberLine(float y) {
    m_line = y;
    m_breakLimit = y - BreakDistance;
    m_unzoomedLine = y;
}

void PageLines::placeZoomedPageNumberLine(float y, float zoom) {
    m_line = y;
    m_breakLimit = y - zoom * BreakDistance;
}

void PageLines::unzoom() {
    m_line = m_unzoomedLine;
    m_breakLimit = m_unzoomedLine - BreakDistance;
}

} // namespace palvex
