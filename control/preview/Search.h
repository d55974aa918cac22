#pragma once

#include <QObject>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>

namespace palvex {

struct PreviewState;
struct ReportState;
class ImageSurface;
class KeyboardLayouts;
class MessageBoxes;
class PageRenderer;
class PreviewWindow;
class ReportStore;

// Text search over the recorded text items in recording order: goes to the page of a match,
// scrolls it into view and overprints it in magenta where the page drew it.
class Search : public QObject {
    Q_OBJECT

public:
    Search(PreviewState& view, const ReportState& report, const ReportStore& store,
           PageRenderer& renderer, PreviewWindow& window, ImageSurface& canvas,
           KeyboardLayouts& keyboard);

    // "Not found any more": shown through the control's message routine.

    void openPanel(); // toolbar button Search
    void FindNext();  // Continue Search, Enter, the panel's Search
    void cancel();    // the panel's Cancel, Esc

    bool englishKeyboard() const { return m_englishKeyboard; }
    QString foundText() const { return m_foundText; }
    int32_t searchStart() const { return m_searchStart; }

signals:
    // Nothing more matches: the text searched for and the "Not found any more" message.
    void notFound(const QString& text);
    // A match is on the page of this entry of the page list, which is to be selected as the
    // control itself selects it (without drawing), and then on this area of the canvas (twips),
    // which is to be scrolled into view.
    void pageEntryWanted(int index);
    void areaWanted(const QRectF& twips);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool filterEvent(QObject* watched, QEvent* event);

private:
    void showMatch(int32_t item, const QString& line, qsizetype position);

    PreviewState& m_view;
    const ReportState& m_report;
    const ReportStore& m_store;
    PageRenderer& m_renderer;
    PreviewWindow& m_window;
    ImageSurface& m_canvas;
    KeyboardLayouts& m_keyboard;
    QString m_searchText;
    QString m_foundText;
    int32_t m_searchStart = 1;
    bool m_englishKeyboard = false;
};

} // namespace palvex
