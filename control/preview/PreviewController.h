#pragma once

#include <QSizeF>

#include <functional>
#include <string>

class QWidget;

namespace palvex {

struct PreviewState;
struct ReportState;
class ImageSurface;
class Navigation;
class PageRenderer;
class PreviewStartup;
class PreviewWindow;
class ReportStore;
class Screen;
class Surface;

// Opens a report in the preview window (start-up) and shows it when recording ends.
class PreviewController {
public:
    // Of the report it changes only the page count and gtAfterPage, once the report is shown.
    PreviewController(PreviewState& view, ReportState& report, ReportStore& store,
                      PreviewStartup& startup, PreviewWindow& window, PageRenderer& renderer,
                      Navigation& navigation, const Screen& screen)
        : m_view(view), m_report(report), m_store(store), m_startup(startup), m_window(window),
          m_renderer(renderer), m_navigation(navigation), m_screen(screen) {}

    // StartPalvexPrintPreview: the window shown over the area it covers, the store opened, the
    // texts, option panels and page view reset, recording and headers reset.
    void start(const std::string& directory);
    // Told during a start, once the window is shown and before it is laid out for the report.
    std::function<void()> onStarting;
    // The end of printLastPage: the page list, the first page drawn, the progress caption hidden.
    void showReport();
    // "Formating Page " and the number of pages formatted.
    void ShowFormattingPage(int pages);
    // The control takes the host window's new size, up to the screen's; an embedded control
    // keeps the place the host's layout gives it.
    void followHost();
    // The window laid out again for the control's size, the canvas kept in view.
    void relayOut();

private:
    // The steps of a start, in order.
    void showWindow(const QSizeF& area);
    void resetTexts();
    void resetOptionPanels(const QSizeF& area);
    void resetPageView();
    void applyHostCaptions();

    void fillMarginLists();
    // The screen, or the part of it that the host's window covers, in twips; embedded, the
    // control's own place.
    QSizeF coveredArea() const;

    PreviewState& m_view;
    ReportState& m_report;
    ReportStore& m_store;
    PreviewStartup& m_startup;
    PreviewWindow& m_window;
    PageRenderer& m_renderer;
    Navigation& m_navigation;
    const Screen& m_screen;
};

} // namespace palvex
