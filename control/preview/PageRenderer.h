#pragma once

#include "replay/GraphicsReplay.h"
#include "replay/ItemReplay.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace palvex {

struct PreviewState;
struct ReportState;
class ImageSurface;
class ReportStore;
class Surface;
class PreviewWindow;

// RenderPage: sizes the page canvas for the zoom and the screen, replays the items of one page
// on it, and keeps where every text item was drawn.
class PageRenderer {
public:
    // Of the report it changes only the page lines (for the zoom) and gtAfterPage.
    PageRenderer(PreviewState& view, ReportState& report, const ReportStore& store,
                 ImageSurface& canvas, Surface& recordingSurface, PreviewWindow& window)
        : m_view(view), m_report(report), m_store(store), m_canvas(canvas), m_pic(recordingSurface),
          m_window(window) {}

    // Draws CurrentPage, or with `keepRange` the items rangeFirst..rangeLast.
    void RenderPage(bool keepRange);
    // Told the page's number when the preview comes to show another page of a report than before.
    std::function<void(int32_t page)> onPageShown;
    // Whether a report is on show: a start draws before there is one, and the next report's
    // first page counts as another page even with the same number.
    void setReportShown(bool shown) {
        m_reportShown = shown;
        m_shownPage.reset();
        if (onRestyled) onRestyled();
    }
    // Told when the pages may look different from before: another report, or the page shown
    // drawn again at the same zoom (new margins, centring, colour). A zoom alone changes nothing
    // of a page drawn at a fixed size, such as a thumbnail.
    std::function<void()> onRestyled;
    bool reportShown() const { return m_reportShown; }

    // The page at index `pageIndex` (from 0) drawn by the same replay as the canvas, at 100 %,
    // `widthPixels` logical pixels across; the paper only, without the room below it.
    QImage drawThumbnail(int32_t pageIndex, int widthPixels, double devicePixelRatio);
    // How many thumbnails have been drawn: what a strip of them costs.
    int64_t thumbnailsDrawn() const { return m_thumbnailsDrawn; }
    // The extent of the free text of items first..last at 100 % without centring shifts,
    // measured without drawing (minTextX, maxTextX), in twips of the printable area.
    void measureExtent(int32_t first, int32_t last);

    // The item range of a page index (from 0) of the report.
    struct Range {
        int32_t first = 1, last = 0;
    };
    Range rangeOfPage(int32_t pageIndex) const;
    // The scroll bars' ranges: how far the canvas as sized reaches past the viewport.
    void updateScrollRanges();

    int32_t rangeFirst = 1, rangeLast = 0;
    float minTextX = 0, maxTextX = 0;
    float lastTextStartX = 0, lastTextEndX = 0;
    std::vector<DrawnText> drawn; // the text items of the page as drawn

private:
    void sizeCanvas();
    ReplayRules rules() const;
    // Items first..last replayed on `target`, graphics included.
    ItemReplay replayOn(Surface& target, const ReplayRules& rules, int32_t first, int32_t last);

    PreviewState& m_view;
    ReportState& m_report;
    const ReportStore& m_store;
    ImageSurface& m_canvas;
    Surface& m_pic;
    PreviewWindow& m_window;
    GraphicsReplay m_graphics; // pen widths in screen pixels: the canvas is the screen
    bool m_reportShown = false;
    std::optional<int32_t> m_shownPage;
    std::optional<float> m_drawnZoom; // the zoom the page shown was last drawn at
    int64_t m_thumbnailsDrawn = 0;
};

} // namespace palvex
