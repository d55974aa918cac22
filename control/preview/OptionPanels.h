#pragma once

namespace palvex {

struct ControlState;
class PageCentring;
class PageRenderer;
class PreviewWindow;
class ReportStore;

// The margins panel and the zoom options panel: both keep their settings in the definitions
// file and redraw the page on OK.
class OptionPanels {
public:
    OptionPanels(ControlState& state, ReportStore& store, PageRenderer& renderer,
                 PreviewWindow& window, PageCentring& centring);

    void chkDefaultMargins_Click();
    void cmdOKMarginsSetup_Click();
    void cmdCancelMarginsSetup_Click();
    void cmdOKZoomOptions_Click();
    void cmdCancelZoomOptions_Click();

private:
    ControlState& m_state;
    ReportStore& m_store;
    PageRenderer& m_renderer;
    PreviewWindow& m_window;
    PageCentring& m_centring;
};

} // namespace palvex
