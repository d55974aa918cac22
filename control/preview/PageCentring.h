#pragma once

#include <cstdint>
#include <functional>

namespace palvex {

struct PreviewState;
struct ReportState;
class Dialogs;
class PageRenderer;
class PreviewWindow;
class ReportStore;
class Screen;

// Page centring and the More Options list: moves the centrable text of pages into the middle
// between the edges by writing each item's CenterOffset back into the store, opens the option
// panels, and changes the preview's background colour.
class PageCentring {
public:
    PageCentring(PreviewState& view, const ReportState& report, ReportStore& store,
                 PageRenderer& renderer, PreviewWindow& window, const Screen& screen,
                 Dialogs& dialogs)
        : m_view(view), m_report(report), m_store(store), m_renderer(renderer), m_window(window),
          m_screen(screen), m_dialogs(dialogs) {}

    void cboMoreOptions_Click();
    // Centres pages first..last (1-based).
    void CentreAllPages(int32_t first, int32_t last);
    // Every page, as the end of recording, a zoom change and the margins' OK do it.
    void centreEveryPage();
    void changeBackColor();

    // Told when the preview colour changed (to keep the control's property in step).
    std::function<void(int32_t)> onBackColor;
    // The preview is to show its first page afresh (after every page was centred, or the
    // colour changed), as the First button does.
    std::function<void()> onShowFirstPage;
    // The page list is to select this entry as the control itself selects it (without drawing).
    std::function<void(int)> onSelectPageEntry;

private:
    PreviewState& m_view;
    const ReportState& m_report;
    ReportStore& m_store;
    PageRenderer& m_renderer;
    PreviewWindow& m_window;
    const Screen& m_screen;
    Dialogs& m_dialogs;
};

// The shift that centres text spanning min..max on a surface of `width`; 0 without text.
float centringShift(float width, float minTextX, float maxTextX);

} // namespace palvex
