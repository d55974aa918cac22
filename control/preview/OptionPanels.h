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
    // right, top, bottom): saved in the definitions file for the next reports in the folder, the
    // page-number line following the bottom margin. A person's choice replaces margins the host
    // set from code. The page is not drawn again: redrawInNewMargins does that.
    void applyMargins(const std::array<int, 4>& indexes);
    // Margins the host sets from code: for this control's reports only, never saved in the
    // definitions file. They may be wider than the panel's lists go.
    void useHostMargins(const std::array<int, 4>& indexes);
    void redrawInNewMargins();
    void cmdCancelMarginsSetup_Click();
    void cmdOKZoomOptions_Click();
    void cmdCancelZoomOptions_Click();

private:
    // The margins in force and in the panel's lists, the page-number line following them.
    void takeMargins(const std::array<int, 4>& indexes);

    PreviewState& m_view;
    ReportState& m_report;
    ReportStore& m_store;
    PageRenderer& m_renderer;
    PreviewWindow& m_window;
    PageCentring& m_centring;
};

} // namespace palvex
