#pragma once

#include <array>

namespace palvex {

struct PreviewState;
struct ReportState;
class PageCentring;
class PageRenderer;
class PreviewWindow;
class ReportStore;

// The margins panel and the zoom options panel: both keep their settings in the definitions
// file and redraw the page on OK.
class OptionPanels {
public:
    // Of the report it changes only the margins (takeMargins, revertMargins).
    OptionPanels(PreviewState& view, ReportState& report, ReportStore& store,
                 PageRenderer& renderer, PreviewWindow& window, PageCentring& centring);

    void chkDefaultMargins_Click();
    void cmdOKMarginsSetup_Click();
    // The margins as the panel's OK takes them (indexes of hundredths of a centimetre, left,
    // right, top, bottom): kept for the next reports, the page-number line following the bottom
    // margin. The page is not drawn again: redrawInNewMargins does that.
    void applyMargins(const std::array<int, 4>& indexes);
    void redrawInNewMargins();
    void cmdCancelMarginsSetup_Click();
    void cmdOKZoomOptions_Click();
    void cmdCancelZoomOptions_Click();

private:
    PreviewState& m_view;
    ReportState& m_report;
    ReportStore& m_store;
    PageRenderer& m_renderer;
    PreviewWindow& m_window;
    PageCentring& m_centring;
};

} // namespace palvex
