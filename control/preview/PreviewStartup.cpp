#include "PreviewStartup.h"

#include "ControlState.h"
#include "interface/Guarded.h"
#include "platform/Colors.h"
#include "platform/ImageSurface.h"
#include "platform/Printers.h"
#include "recording/ReportStore.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace palvex {

float marginTwips(int index) {
    return float(index * 0.01 * TwipsPerCm);
}

int marginIndex(double centimetres) {
    return std::clamp(int(std::lround(centimetres / 0.01)), 0, 400);
}

void PreviewStartup::openStore(const std::string& directory) {
    m_state.defaultMarginsCm = Definitions::DefaultMarginsCm;
    m_store.markClosed();
    m_store.OpenReportStore(directory, m_state.defaultMarginsCm);
    m_state.definitions = m_store.readDefinitions();
}

void PreviewStartup::applyBackColor() {
    m_state.props.BackColor = m_state.definitions.DefLongs[0];
}

void PreviewStartup::resetFlags() {
    m_state.pagesCentred = false;
    m_state.pending.yRelative = 0;
    m_state.lineAbovePageNumber = QLatin1Char(' ');
    m_state.zoomFactor = 1.0f;
}

void PreviewStartup::applyDefinitions() {
    const Definitions& d = m_state.definitions;
    m_state.zoomCurrentX = d.DefFlags[0] == 1;
    m_state.zoomWidth = d.DefFlags[1] == 1;
    m_state.zoomHeight = d.DefFlags[2] == 1;
    for (int i = 0; i < 4; ++i)
        m_state.marginIndexes[i] = marginIndex(d.DefReals[i]);
    m_state.margins = {marginTwips(m_state.marginIndexes[0]), marginTwips(m_state.marginIndexes[1]),
                       marginTwips(m_state.marginIndexes[2]),
                       marginTwips(m_state.marginIndexes[3])};
    m_state.savedMargins = m_state.margins;
}

void PreviewStartup::sizePage() {
    if (m_state.firstPageNumber < 1) m_state.firstPageNumber = 1;
    m_canvas.setScaleModeTwips();
    m_canvas.setWidth(11909);
    m_canvas.setHeight(16834);
    float pageNumberY = FixedPageNumberY;
    std::optional<PrinterDevice> printer;
    try {
        printer = m_printers.current();
    } catch (const Error&) {
        // No printer answers: the chosen page, else the fixed page below.
    }
    if (printer && printer->deviceName == QLatin1String("Fax")) printer.reset();
    const std::optional<PrinterDevice> page = m_state.pageSetup.startReport(printer);
    if (page) {
        pageNumberY = page->height - m_state.margins.bottom - PageNumberGap;
        m_canvas.setHeight(page->height + PageNumberGap);
        m_canvas.setWidth(page->width);
        m_canvas.setScaleHeight(page->scaleHeight);
        m_canvas.setScaleWidth(page->scaleWidth);
        m_canvas.setPage(page->left, page->top);
    } else {
        pageNumberY = FixedPageNumberY;
        m_canvas.setHeight(FixedHeight);
        m_canvas.setWidth(FixedWidth);
        m_canvas.setScaleModeTwips();
        m_canvas.setScaleHeight(FixedScaleHeight);
        m_canvas.setScaleWidth(FixedScaleWidth);
        // The printable area centred on the paper; the canvas has room below the paper.
        m_canvas.setPage((FixedWidth - FixedScaleWidth) / 2,
                         (FixedHeight - PageNumberGap - FixedScaleHeight) / 2);
    }
    m_state.props.currentYofPageNumber = pageNumberY;
    m_state.unzoomed = {m_canvas.Width(), m_canvas.Height(), m_canvas.ScaleWidth(),
                        m_canvas.ScaleHeight()};
    m_state.props.gtPrWidth = m_canvas.Width();
    m_state.props.ScaleHeight = m_canvas.ScaleHeight();
    m_state.props.ScaleWidth = m_canvas.ScaleWidth();
    m_state.breakLimit = pageNumberY - BreakDistance;
    m_state.savedCurrentYofPageNumber = pageNumberY;
    m_state.savedBreakLimit = m_state.breakLimit;
    m_state.searchContinue = false;
    m_state.reduceTwips = 1000;
    m_state.props.gtAfterPage = false;
    m_state.noPageNumbers = false;
    m_state.pageFooterCount = 0;
    m_state.pageIndex.assign(1, 0);
    m_state.lastPageIndex = 0;
}

void PreviewStartup::resetRecording() {
    // The recording surface takes the page's size; recording starts at the top margin.
    m_pic.setScaleModeTwips();
    m_pic.setWidth(m_canvas.Width());
    m_pic.setHeight(m_canvas.Height());
    m_pic.setScaleWidth(m_canvas.ScaleWidth());
    m_pic.setScaleHeight(m_canvas.ScaleHeight());
    m_pic.setPage(0, 0); // measures in twips, as the canvas and the printer draw
    m_store.resetItems();
    m_state.pagesEnded = 0;
    m_pic.Cls();
    m_state.surface = &m_pic;
    m_canvas.setScaleWidth(m_pic.ScaleWidth());
    m_pic.setCurrentY(m_state.margins.top);
}

void PreviewStartup::resetHeaders() {
    // Kind and position are kept: a host sets headers after the start.
    auto reset = [](HeaderText& h) {
        const int32_t kind = h.kind;
        h = HeaderText{};
        h.kind = kind;
    };
    for (LineHeader& h : m_state.lineHeaders) {
        reset(h);
        h.linesAfter = 1;
        h.linesBefore = 0;
    }
    for (PositionedHeader& h : m_state.positionedHeaders)
        reset(h);
}

} // namespace palvex
