#pragma once

#include "core/InternalExport.h"
#include "texts/WindowTextSet.h"

#include <QObject>
#include <QRectF>

#include <cstdint>

class QComboBox;
class QKeyEvent;
class QWheelEvent;
class QWidget;

namespace palvex {

struct PreviewState;
struct ReportState;
class PageRenderer;
class PreviewWindow;
class ReportStore;
class Screen;

// The preview's controls once a report is shown: toolbar buttons, page list, zoom list and
// images, scroll bars and keys. Keys use the classic codes (33 Page Up ... 119 F8) and shift
// state (1 Shift, 2 Ctrl, 4 Alt); a key with any of them held does nothing, but for the Ctrl
// shortcuts: Ctrl+P prints, Ctrl+0 zooms to 100 %, Ctrl++ (Ctrl+=) and Ctrl+- step through the
// zoom list, Ctrl+F searches as F3 does.
class Navigation : public QObject {
    Q_OBJECT

public:
    // Of the report it changes nothing but closing it (the Close button).
    Navigation(PreviewState& view, ReportState& report, ReportStore& store, PageRenderer& renderer,
               PreviewWindow& window, const Screen& screen, QWidget* control);

    void cmd_Click(ToolbarButton button);
    void cboPage_Click();
    void cboZoom_Click();
    void Image1_Click();
    void Image2_Click();
    // The zoom list's percentages end at this entry; the two fitted zooms follow it.
    static constexpr int LastPercentEntry = 18, FitWidthEntry = 19, FitPageEntry = 20;
    // A fitted zoom follows the viewport: the page drawn again when its size changed it.
    void refit();
    // The zoom that fits the page's width, or the whole page, into the viewport as it is now.
    float fittedZoom() const;
    void HandlePreviewKey(int keyCode);

    // Key events of the named controls, as their handlers forward them.
    void keyDown(const QObject* source, int keyCode, int shift);
    void keyUp(const QObject* source, int keyCode, int shift);

    // Selects a list entry the way the control itself does: the page list does not draw.
    void selectPageEntry(int index);
    // Selects a zoom entry, raising the list's event.
    void selectZoomEntry(int index);
    // Puts the canvas where the scroll bars say.
    void placeCanvas();
    // The view at the page's right edge, where right-to-left lines start.
    void showRightEdge();
    // Scrolls sideways, when needed, so that an area of the canvas (twips) is in view.
    void revealAcross(const QRectF& twips);

signals:
    // The Print button or Ctrl+P: the printer panel is someone else's.
    void printRequested();
    // The Search button or F3, and Continue Search: the search is someone else's.
    void searchRequested();
    void continueSearchRequested();
    // F4: the page strip shown or hidden.
    void thumbnailsToggleRequested();
    // A new zoom while every page is centred: the pages are centred again at it.
    void recentreRequested();
    // The Close button or Esc, after the preview was hidden or just before the host's window
    // closes (which may take the control with it).
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool filterEvent(QObject* watched, QEvent* event);

private:
    void turnPage(ToolbarButton button);
    // One entry up (+1) or down (-1) the zoom list; from a fitted zoom, the nearest entry that
    // way.
    void stepZoom(int step);
    // The Ctrl shortcuts other than Ctrl+P; false for any other key.
    bool shortcut(const QKeyEvent& key);
    void setScroll(bool vertical, double twips);
    void wheel(const QWheelEvent& event);

    PreviewState& m_view;
    ReportState& m_report;
    ReportStore& m_store;
    PageRenderer& m_renderer;
    PreviewWindow& m_window;
    const Screen& m_screen;
    QWidget* m_control;
    int m_wheelZoom = 0; // Ctrl+wheel delta not yet a whole notch
};

// Classic key codes of the Qt keys the preview handles; 0 for any other key.
int keyCodeOf(int qtKey);
PALVEX_INTERNAL_EXPORT int qtKeyOf(int keyCode);
// Classic shift state (1 Shift, 2 Ctrl, 4 Alt) of Qt modifiers.
int shiftStateOf(Qt::KeyboardModifiers modifiers);
PALVEX_INTERNAL_EXPORT Qt::KeyboardModifiers modifiersOf(int shiftState);

} // namespace palvex
