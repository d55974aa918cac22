#pragma once

#include "core/InternalExport.h"
#include "texts/WindowTextSet.h"

#include <QObject>
#include <QRectF>

#include <cstdint>

class QComboBox;
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
// state (1 Shift, 2 Ctrl, 4 Alt); a key with any of them held does nothing.
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
