#include "PageRenderer.h"

#include "PageCanvas.h"
#include "PageReading.h"
#include "PreviewWindow.h"
#include "TwipScrollBar.h"
#include "platform/ImageSurface.h"
#include "preview/PreviewState.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"

#include <algorithm>
#include <cmath>

namespace palvex {

PageRenderer::Range PageRenderer::rangeOfPage(int32_t k) const {
    const std::vector<int32_t>& index = m_report.pageIndex;
    const int32_t count = m_store.itemCount();
    k = std::clamp(k, 0, std::max(0, m_report.lastPageIndex));
    Range r;
    r.first = (k > 0 && size_t(k) < index.size()) ? index[size_t(k)] + 1 : 1;
    if (k == m_report.lastPageIndex || size_t(k) + 1 >= index.size())
        r.last = count;
    else
        r.last = std::min(count, index[size_t(k) + 1]);
    return r;
}

// The canvas is the paper at 15 twips a logical pixel on every screen, as the printer prints it;
// only the zoom and its options make it larger or smaller.
void PageRenderer::sizeCanvas() {
    const PageGeometry& u = m_report.unzoomed;
    const float zoom = m_view.zoomFactor;
    m_canvas.setAutoRedraw(true);
    m_canvas.setWidth(u.width);
    m_canvas.setScaleWidth(u.scaleWidth);
    minTextX = m_canvas.ScaleWidth();
    maxTextX = 0;
    m_canvas.setHeight(u.height);
    m_canvas.setScaleHeight(u.scaleHeight);

    if (zoom != 1.0f) {
        if (m_view.scalesHeight()) {
            m_canvas.setHeight(u.height * zoom);
            m_canvas.setScaleHeight(u.scaleHeight * zoom);
            // 425 twips above the canvas's bottom edge; the page counts y from its printable
            // area, which lies below the canvas's top on a sheet with a top margin.
            m_report.lines.placeZoomedPageNumberLine(
                float(m_canvas.Height() - PageNumberGap - m_canvas.originY()), zoom);
        }
        if (m_view.scalesWidth()) {
            m_canvas.setWidth(u.width * zoom);
            m_canvas.setScaleWidth(u.scaleWidth * zoom);
            minTextX = m_canvas.ScaleWidth();
        }
    } else {
        m_report.lines.unzoom();
    }
    m_pic.setHeight(m_canvas.Height());
    m_pic.setWidth(m_canvas.Width());
    updateScrollRanges();
    m_window.p1->setPaperHeight(m_canvas.Height() * (u.height - PageNumberGap) /
                                std::max(1.0f, u.height));
    m_canvas.Cls(); // at the new size
}

void PageRenderer::updateScrollRanges() {
    m_view.hRange = scrollRange(m_window.viewportWidth() - m_canvas.Width());
    m_view.vRange = scrollRange(m_window.viewportHeight() - m_canvas.Height());
    if (m_view.zoomFactor == 1.0f) {
        m_view.savedHRange = m_view.hRange;
        m_view.savedVRange = m_view.vRange;
    }
    m_window.HScroll->setRangeTwips(m_view.hRange);
    m_window.VScroll->setRangeTwips(m_view.vRange);
}

ReplayRules PageRenderer::rules() const {
    ReplayRules rules;
    rules.zoom = m_view.zoomFactor;
    rules.margins = m_report.margins;
    rules.currentYofPageNumber = m_report.lines.pageNumberLine();
    rules.zoomCurrentX = m_view.zoomCurrentX;
    rules.ignoreCenterOffset = m_view.pagesCentred;
    rules.pageCount = m_report.pageCount();
    return rules;
}

void PageRenderer::measureExtent(int32_t first, int32_t last) {
    // At 100 % on the page in twips, as the recorder laid it out and the printer prints it, so
    // the shift is the same whatever the zoom or the device. Nothing is drawn: no glyph is
    // rasterised and the canvas keeps what it shows.
    const PageGeometry& u = m_report.unzoomed;
    MeasuringSurface page;
    page.setScaleModeTwips();
    page.setWidth(u.width);
    page.setHeight(u.height);
    page.setScaleWidth(u.scaleWidth);
    page.setScaleHeight(u.scaleHeight);
    page.setPage(0, 0);
    ReplayRules r = rules();
    r.zoom = 1;
    r.currentYofPageNumber = m_report.lines.unzoomedPageNumberLine();
    r.ignoreCenterOffset = true;
    r.keepDrawn = false;
    ItemReplay replay(m_store, page, r);
    replay.minTextX = page.ScaleWidth();
    replay.maxTextX = 0;
    replay.replay(first, std::min(last, m_store.itemCount()));
    minTextX = replay.minTextX;
    maxTextX = replay.maxTextX;
}

void PageRenderer::RenderPage(bool keepRange) {
    sizeCanvas();
    if (!keepRange) {
        const Range r = rangeOfPage(m_view.currentPage - m_report.firstPageNumber);
        rangeFirst = r.first;
        rangeLast = r.last;
    }
    const bool samePage = m_shownPage == m_view.currentPage || keepRange;
    ItemReplay replay = replayOn(m_canvas, rules(), rangeFirst, rangeLast);
    minTextX = replay.minTextX;
    maxTextX = replay.maxTextX;
    lastTextStartX = replay.lastTextStartX;
    lastTextEndX = replay.lastTextEndX;
    drawn = std::move(replay.drawn);

    m_window.p1->setReading(PageReading::of(drawn),
                            m_view.currentPage - m_report.firstPageNumber + 1,
                            m_report.lastPageIndex + 1);
    m_window.p1->refresh();
    m_window.p1->setFocus();
    m_canvas.setAutoRedraw(false);
    m_report.setAfterPage(false);
    // A zoom or margin change draws the same page again: only another page is news.
    if (m_reportShown && !keepRange && m_shownPage != m_view.currentPage) {
        m_shownPage = m_view.currentPage;
        if (onPageShown) onPageShown(m_view.currentPage);
    } else if (m_reportShown && samePage && m_drawnZoom == m_view.zoomFactor && onRestyled) {
        onRestyled();
    }
    m_drawnZoom = m_view.zoomFactor;
}

ItemReplay PageRenderer::replayOn(Surface& target, const ReplayRules& r, int32_t first,
                                  int32_t last) {
    ItemReplay replay(m_store, target, r);
    replay.drawGraphic = [this](const PrintItem& item, ItemReplay& on) {
        m_graphics.draw(item, on);
    };
    replay.minTextX = minTextX;
    replay.maxTextX = maxTextX;
    replay.replay(first, std::min(last, m_store.itemCount()));
    return replay;
}

QImage PageRenderer::drawThumbnail(int32_t pageIndex, int widthPixels, double devicePixelRatio) {
    const PageGeometry& u = m_report.unzoomed;
    if (widthPixels < 1 || !(u.width > 0) || !(u.height > 0)) return QImage();
    ++m_thumbnailsDrawn;
    ImageSurface page(double(widthPixels) / u.width, devicePixelRatio);
    page.setBackColor(Qt::white);
    page.setAutoRedraw(true);
    page.setScaleModeTwips();
    page.setWidth(u.width);
    page.setHeight(u.height);
    page.setScaleWidth(u.scaleWidth);
    page.setScaleHeight(u.scaleHeight);
    // The printable area lies where it lies on the canvas, as a share of the paper.
    const float canvasWidth = std::max(1.0f, m_canvas.Width());
    const float canvasHeight = std::max(1.0f, m_canvas.Height());
    page.setPage(float(m_canvas.originX() / canvasWidth * u.width),
                 float(m_canvas.originY() / canvasHeight * u.height));
    page.Cls();
    ReplayRules r = rules();
    r.zoom = 1;
    r.currentYofPageNumber = m_report.lines.unzoomedPageNumberLine();
    r.keepDrawn = false;
    r.trackExtent = false;
    const Range range = rangeOfPage(pageIndex);
    replayOn(page, r, range.first, range.last);
    const QImage& drawn = page.image();
    const int paper =
        int(std::lround(double(u.height - PageNumberGap) / u.height * drawn.height()));
    QImage image = drawn.copy(0, 0, drawn.width(), std::clamp(paper, 1, drawn.height()));
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

} // namespace palvex
