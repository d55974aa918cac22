#pragma once

#include <QObject>

#include <cstdint>

namespace palvex {

struct PreviewState;
struct ReportState;
class PageRenderer;
class PreviewWindow;

// The page strip at work: its rows follow the report, its mark the page shown, its button and
// F4 show and hide it, and a click on a page asks for that page.
class Thumbnails : public QObject {
    Q_OBJECT

public:
    Thumbnails(PreviewState& view, const ReportState& report, PageRenderer& renderer,
               PreviewWindow& window, QObject* parent);

    // The pages may look different, or there is another report (or none): nothing drawn is
    // kept, and the rows are the report's pages.
    void restyle();
    // The page shown (its number) is marked and in view.
    void showPage(int32_t page);
    // A start, before the window is laid out: the strip shows as the host asked, its button
    // with it.
    void start();
    void setShown(bool shown);
    void toggle();
    bool isShown() const;

signals:
    // The page list's entry for the page clicked.
    void pageEntryWanted(int entry);
    // The strip came or went: the page area took a new size.
    void layoutChanged();

private:
    PreviewState& m_view;
    const ReportState& m_report;
    PageRenderer& m_renderer;
    PreviewWindow& m_window;
};

} // namespace palvex
