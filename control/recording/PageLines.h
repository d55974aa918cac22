#pragma once

namespace palvex {

class Surface;

constexpr float PageNumberGap = 425;  // between the bottom margin and the page-number line
constexpr float BreakDistance = 1800; // page content stops this far above the page number

// Where the page ends for recording: the page-number line, the break limit above it, and the
// surface recording draws on (the hidden page, a printer during a job, or none once the preview
// is closed). The break limit is always placed from the page-number line, so the two cannot be
// set apart; the lines at 100 % are kept so that a zoomed page can return to them.
class PageLines {
public:
    float pageNumberLine() const { return m_line; }
    float breakLimit() const { return m_breakLimit; }
    // The page-number line of the page at 100 %, as the recorder laid it out.
    float unzoomedPageNumberLine() const { return m_unzoomedLine; }

    // A page laid out at 100 % (a new report, or a new bottom margin): the page-number line at
    // `y`, the break limit BreakDistance above it, and both kept as the lines at 100 %.
    void placePageNumberLine(float y);
    // A page drawn at `zoom`: the page-number line at `y` and the break limit the zoomed
    // BreakDistance above it. The lines at 100 % stay.
    void placeZoomedPageNumberLine(float y, float zoom);
    // Back to the lines at 100 %: the break limit BreakDistance above the line at 100 %.
    void unzoom();
    // The page-number line a saved form held. The break limit is placed again when a report
    // starts, so it is left as it is.
    void loadPageNumberLine(float y) { m_line = y; }

    // The surface recording draws on; null once the preview was closed.
    Surface* surface() const { return m_surface; }
    // The same for a call that records: without a report being recorded it is refused (52).
    Surface& recordingSurface() const;
    void drawOn(Surface& surface) { m_surface = &surface; }
    void drawNowhere() { m_surface = nullptr; }

private:
    float m_line = 0, m_breakLimit = 0;
    float m_unzoomedLine = 0;
    Surface* m_surface = nullptr;
};

} // namespace palvex
