#include "PageRenderer.h"

#include "ControlState.h"
#include "PageCanvas.h"
#include "PreviewWindow.h"
#include "platform/ImageSurface.h"
#include "platform/Screen.h"
#include "recording/ReportStore.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace palvex {

int clampScroll(double range) {
    if (!std::isfinite(range)) return 0;
    return int(std::clamp(std::round(std::fabs(range)), 0.0, 32767.0));
}

PageRenderer::Range PageRenderer::rangeOfPage(int32_t k) const {
    const std::vector<int32_t>& index = m_state.pageIndex;
    const int32_t count = m_store.itemCount();
    k = std::clamp(k, 0, std::max(0, m_state.lastPageIndex));
    Range r;
    r.first = (k > 0 && size_t(k) < index.size()) ? index[size_t(k)] + 1 : 1;
    if (k == m_state.lastPageIndex || size_t(k) + 1 >= index.size())
        r.last = count;
    else
        r.last = std::min(count, index[size_t(k) + 1]);
    return r;
}

void PageRenderer::sizeCanvas() {
    const PageGeometry& u = m_state.unzoomed;
    const float zoom = m_state.zoomFactor;
    const float screen = m_screen.widthTwips();
    const float designed = PreviewWindow::DesignedScreenWidth;
    m_canvas.setAutoRedraw(true);
    m_canvas.setWidth(u.width);
    m_canvas.setScaleWidth(u.scaleWidth);
    minTextX = m_canvas.ScaleWidth();
    maxTextX = 0;
    m_canvas.setHeight(u.height);
    m_canvas.setScaleHeight(u.scaleHeight);
    m_canvas.Cls();
    m_pic.setHeight(m_canvas.Height());
    m_pic.setWidth(m_canvas.Width());

    if (zoom != 1.0f) {
        if (m_state.zoomHeight) {
            m_canvas.setHeight(u.height * zoom);
            m_canvas.setScaleHeight(u.scaleHeight * zoom);
            m_state.props.currentYofPageNumber = m_canvas.Height() - PageNumberGap;
            m_state.breakLimit = m_state.props.currentYofPageNumber - zoom * BreakDistance;
        }
        // The page follows a screen wider than designed; "Width area" adds the zoom.
        if (screen != designed) {
            m_canvas.setWidth(u.width * zoom * screen / designed);
            m_canvas.setScaleWidth(u.scaleWidth * zoom * screen / designed);
            minTextX = m_canvas.ScaleWidth();
        } else if (m_state.zoomWidth) {
            m_canvas.setWidth(u.width * zoom);
            m_canvas.setScaleWidth(u.scaleWidth * zoom);
            minTextX = m_canvas.ScaleWidth();
        }
        m_pic.setHeight(m_canvas.Height());
        m_pic.setWidth(m_canvas.Width());
        m_state.hRange = clampScroll(m_window.viewportWidth() - m_canvas.Width());
        m_state.vRange = clampScroll(m_window.viewportHeight() - m_canvas.Height());
    } else {
        m_state.hRange = m_state.savedHRange;
        m_state.vRange = m_state.savedVRange;
        m_state.props.currentYofPageNumber = m_state.savedCurrentYofPageNumber;
        m_state.breakLimit = m_state.savedBreakLimit;
        if (screen != designed) {
            m_canvas.setWidth(screen * u.width / designed);
            m_canvas.setScaleWidth(screen * u.scaleWidth / designed);
            minTextX = m_canvas.ScaleWidth();
            m_pic.setWidth(m_canvas.Width());
            m_state.hRange = clampScroll(m_window.viewportWidth() - m_canvas.Width());
        }
    }
    m_window.HScroll->setMaximum(m_state.hRange);
    m_window.HScroll->setPageStep(std::max(1, m_state.hRange / 10));
    m_window.VScroll->setMaximum(m_state.vRange);
    m_window.VScroll->setPageStep(std::max(1, m_state.vRange / 10));
    m_canvas.Cls(); // at the new size
}

ReplayRules PageRenderer::rules() const {
    ReplayRules rules;
    rules.zoom = m_state.zoomFactor;
    rules.margins = m_state.margins;
    rules.currentYofPageNumber = m_state.props.currentYofPageNumber;
    rules.zoomCurrentX = m_state.zoomCurrentX;
    rules.ignoreCenterOffset = m_state.pagesCentred;
    return rules;
}

void PageRenderer::measureExtent(int32_t first, int32_t last) {
    sizeCanvas();
    // The same replay on a surface that only measures: no glyph is rasterised.
    MeasuringSurface page;
    page.setScaleModeTwips();
    page.setWidth(m_canvas.Width());
    page.setHeight(m_canvas.Height());
    page.setScaleWidth(m_canvas.ScaleWidth());
    page.setScaleHeight(m_canvas.ScaleHeight());
    ReplayRules r = rules();
    r.ignoreCenterOffset = true;
    ItemReplay replay(m_store, page, r);
    replay.minTextX = minTextX;
    replay.maxTextX = maxTextX;
    replay.replay(first, std::min(last, m_store.itemCount()));
    minTextX = replay.minTextX;
    maxTextX = replay.maxTextX;
}

void PageRenderer::RenderPage(bool keepRange) {
    sizeCanvas();
    if (!keepRange) {
        const Range r = rangeOfPage(m_state.currentPage - m_state.firstPageNumber);
        rangeFirst = r.first;
        rangeLast = r.last;
    }
    ItemReplay replay(m_store, m_canvas, rules());
    replay.drawGraphic = [this](const PrintItem& item, ItemReplay& r) { m_graphics.draw(item, r); };
    replay.minTextX = minTextX;
    replay.maxTextX = maxTextX;
    replay.replay(rangeFirst, std::min(rangeLast, m_store.itemCount()));
    minTextX = replay.minTextX;
    maxTextX = replay.maxTextX;
    lastTextStartX = replay.lastTextStartX;
    lastTextEndX = replay.lastTextEndX;
    drawn = std::move(replay.drawn);

    m_window.p1->refresh();
    m_window.p1->setFocus();
    m_canvas.setAutoRedraw(false);
    m_state.props.gtAfterPage = false;
}

} // namespace palvex
