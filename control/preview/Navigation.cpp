#include "Navigation.h"

#include "PageCanvas.h"
#include "PageRenderer.h"
#include "PreviewWindow.h"
#include "TwipScrollBar.h"
#include "preview/PreviewState.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegion>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {

enum Key {
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Zero = 48,
    LetterF = 70,
    Plus = 107,
    Minus = 109,
    F3 = 114,
    F4 = 115,
    F5 = 116,
    F6 = 117,
    F7 = 118,
    F8 = 119,
};
using enum ToolbarButton;

constexpr struct {
    int qt, code;
} kKeys[] = {{Qt::Key_PageUp, PageUp}, {Qt::Key_PageDown, PageDown},
             {Qt::Key_End, End},       {Qt::Key_Home, Home},
             {Qt::Key_Left, Left},     {Qt::Key_Up, Up},
             {Qt::Key_Right, Right},   {Qt::Key_Down, Down},
             {Qt::Key_F3, F3},         {Qt::Key_F5, F5},
             {Qt::Key_F6, F6},         {Qt::Key_F7, F7},
             {Qt::Key_F8, F8},         {Qt::Key_Escape, 27},
             {Qt::Key_Return, 13},     {Qt::Key_Alt, 18},
             {Qt::Key_F4, F4},         {Qt::Key_0, Zero},
             {Qt::Key_F, LetterF},     {Qt::Key_Plus, Plus},
             {Qt::Key_Minus, Minus},   {Qt::Key_Equal, 187}};

bool isArrow(int code) {
    return code >= Left && code <= Down;
}
bool isScrollKey(int code) {
    return (code >= PageUp && code <= Down) || code == F3 || (code >= F5 && code <= F8);
}
// Keys that only mean something with Ctrl: typed alone they are the list's or the field's.
bool isCharacterKey(int code) {
    return code == Zero || code == LetterF || code == Plus || code == Minus || code == 187;
}

} // namespace

int keyCodeOf(int qtKey) {
    for (const auto& k : kKeys)
        if (k.qt == qtKey) return k.code;
    return 0;
}

int qtKeyOf(int keyCode) {
    for (const auto& k : kKeys)
        if (k.code == keyCode) return k.qt;
    return 0;
}

int shiftStateOf(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

Qt::KeyboardModifiers modifiersOf(int s) {
    Qt::KeyboardModifiers m;
    if (s & 1) m |= Qt::ShiftModifier;
    if (s & 2) m |= Qt::ControlModifier;
    if (s & 4) m |= Qt::AltModifier;
    return m;
}

Navigation::Navigation(PreviewState& view, ReportState& report, ReportStore& store,
                       PageRenderer& renderer, PreviewWindow& window, const Screen& screen,
                       QWidget* control)
    : QObject(control), m_view(view), m_report(report), m_store(store), m_renderer(renderer),
      m_window(window), m_screen(screen), m_control(control) {
    for (size_t i = 0; i < ToolbarButtonCount; ++i) {
        const ToolbarButton button = m_window.cmd.key(i);
        connect(m_window.cmd[button], &QPushButton::clicked, this,
                m_window.guard.handler([this, button] { cmd_Click(button); }));
    }
    connect(m_window.cboPage, &QComboBox::activated, this,
            m_window.guard.handler([this] { cboPage_Click(); }));
    connect(m_window.cboZoom, &QComboBox::activated, this,
            m_window.guard.handler([this] { cboZoom_Click(); }));
    connect(m_window.Image1, &QToolButton::clicked, this,
            m_window.guard.handler([this] { Image1_Click(); }));
    connect(m_window.Image2, &QToolButton::clicked, this,
            m_window.guard.handler([this] { Image2_Click(); }));
    connect(m_window.HScroll, &QScrollBar::valueChanged, this,
            m_window.guard.handler([this] { placeCanvas(); }));
    connect(m_window.VScroll, &QScrollBar::valueChanged, this,
            m_window.guard.handler([this] { placeCanvas(); }));
    connect(m_window.p1, &PageCanvas::refreshed, this,
            m_window.guard.handler([this] { placeCanvas(); }));
    for (QObject* o :
         {static_cast<QObject*>(m_window.p1), static_cast<QObject*>(m_window.HScroll),
          static_cast<QObject*>(m_window.VScroll), static_cast<QObject*>(m_window.cboZoom),
          static_cast<QObject*>(m_window.cboPage), static_cast<QObject*>(m_window.cboMoreOptions),
          static_cast<QObject*>(m_window.Mainpicture)})
        o->installEventFilter(this);
    for (QObject* panel : {static_cast<QObject*>(m_window.fraSearch),
                           static_cast<QObject*>(m_window.fraMarginsSetup),
                           static_cast<QObject*>(m_window.fraZoomOptions),
                           static_cast<QObject*>(m_window.fraPrinter)})
        panel->installEventFilter(this);
}

bool Navigation::eventFilter(QObject* watched, QEvent* event) {
    bool filtered = false;
    m_window.guard.run([&] { filtered = filterEvent(watched, event); });
    return filtered;
}

bool Navigation::filterEvent(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_P && key->modifiers() == Qt::ControlModifier) {
            if (event->type() == QEvent::KeyPress) cmd_Click(Print);
            return true;
        }
        if (shortcut(*key)) return true;
        const int code = keyCodeOf(key->key());
        if (code == 0 || isCharacterKey(code)) return false;
        const int shift = shiftStateOf(key->modifiers());
        if (event->type() == QEvent::KeyPress)
            keyDown(watched, code, shift);
        else if (!key->isAutoRepeat() || isArrow(code))
            keyUp(watched, code, shift);
        return true;
    }
    case QEvent::Hide:
        // However a panel closes (OK, Cancel, Esc), the page keys work again at once.
        if (watched == m_window.fraSearch || watched == m_window.fraMarginsSetup ||
            watched == m_window.fraZoomOptions || watched == m_window.fraPrinter)
            m_window.p1->setFocus();
        return false;
    case QEvent::Wheel:
        if (watched != m_window.p1 && watched != m_window.Mainpicture) return false;
        wheel(*static_cast<QWheelEvent*>(event));
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

// The wheel scrolls the page, Shift+wheel sideways, Ctrl+wheel steps through the zoom list. A
// high-resolution wheel's small deltas add up to whole notches.
void Navigation::wheel(const QWheelEvent& event) {
    constexpr int Notch = 120;
    const QPoint angle = event.angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ControlModifier) {
        m_wheelZoom += delta;
        while (m_wheelZoom >= Notch) {
            m_wheelZoom -= Notch;
            Image1_Click();
        }
        while (m_wheelZoom <= -Notch) {
            m_wheelZoom += Notch;
            Image2_Click();
        }
        return;
    }
    m_wheelZoom = 0;
    const bool sideways = (modifiers & Qt::ShiftModifier) || (angle.y() == 0 && angle.x() != 0);
    TwipScrollBar* bar = sideways ? m_window.HScroll : m_window.VScroll;
    // Three small steps a notch, as lists and documents scroll.
    const double twips = -double(delta) / Notch * 3 * bar->singleStep() * bar->twipsPerStep();
    setScroll(!sideways, bar->valueTwips() + twips);
    m_window.p1->setFocus();
}

// The canvas follows the scroll bars: at 0 its left or top edge shows, at the maximum its right or
// bottom edge. A canvas that fits
// the viewport along an axis stands in its middle there, on the preview colour, and that scroll
// bar rests: it keeps its range, but there is nothing to scroll to.
void Navigation::placeCanvas() {
    QWidget* p1 = m_window.p1;
    const QSize room = m_window.visibleArea();
    // The bar's whole range spans the part of the canvas that does not fit, so its far end shows
    // the page's far edge beside the bar rather than under it.
    auto offset = [](TwipScrollBar* bar, int canvas, int viewport, double withoutRange) {
        const bool fits = canvas <= viewport;
        bar->setEnabled(!fits);
        if (fits) return (viewport - canvas) / 2;
        const double along =
            bar->rangeTwips() > 0 ? double(bar->valueTwips()) / bar->rangeTwips() : withoutRange;
        return -int(std::lround(along * (canvas - viewport)));
    };
    p1->move(offset(m_window.HScroll, p1->width(), room.width(), 1.0),
             offset(m_window.VScroll, p1->height(), room.height(), 0.0));
    // Nothing of the page shows in the gaps beside and below the scroll bars.
    p1->setMask(QRegion(QRect(-p1->pos(), room)));
}

void Navigation::keyDown(const QObject* source, int code, int shift) {
    if (shift != 0) return;
    if (source == m_window.p1 && isArrow(code)) HandlePreviewKey(code);
    if (source == m_window.VScroll && (code == PageUp || code == PageDown)) HandlePreviewKey(code);
}

void Navigation::keyUp(const QObject* source, int code, int shift) {
    if (shift != 0) return;
    const bool forwards = source == m_window.p1 || source == m_window.HScroll ||
                          source == m_window.VScroll || source == m_window.cboZoom;
    if (forwards && (isScrollKey(code) || code == F4)) HandlePreviewKey(code);
}

// Acts on the press, as Ctrl+P does; Shift may be held, since Ctrl++ is Ctrl+Shift+= on many
// keyboards.
bool Navigation::shortcut(const QKeyEvent& key) {
    const Qt::KeyboardModifiers held = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (held != Qt::ControlModifier) return false;
    const bool press = key.type() == QEvent::KeyPress;
    switch (key.key()) {
    case Qt::Key_0:
        if (press) selectZoomEntry(8); // 100 %
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (press) stepZoom(+1);
        return true;
    case Qt::Key_Minus:
        if (press) stepZoom(-1);
        return true;
    case Qt::Key_F:
        if (press) HandlePreviewKey(F3);
        return true;
    default:
        return false;
    }
}

void Navigation::setScroll(bool vertical, double twips) {
    TwipScrollBar* bar = vertical ? m_window.VScroll : m_window.HScroll;
    bar->setValueTwips(std::clamp(twips, 0.0, double(bar->rangeTwips())));
}

void Navigation::revealAcross(const QRectF& twips) {
    TwipScrollBar* h = m_window.HScroll;
    const double room = m_window.visibleArea().width(), canvas = m_window.p1->width();
    if (canvas <= room || h->rangeTwips() == 0) return;
    const double left = twips.left() / PreviewWindow::TwipsPerPixel,
                 right = twips.right() / PreviewWindow::TwipsPerPixel;
    const double shown = -m_window.p1->x();
    if (left >= shown && right <= shown + room) return;
    const double wanted = std::clamp((left + right) / 2 - room / 2, 0.0, canvas - room);
    h->setValueTwips(wanted / (canvas - room) * h->rangeTwips());
}

void Navigation::showRightEdge() {
    m_window.HScroll->setValue(m_window.HScroll->maximum());
}

void Navigation::selectPageEntry(int index) {
    m_view.pageListArmed = false;
    m_window.cboPage->setCurrentIndex(index);
    cboPage_Click();
}

void Navigation::selectZoomEntry(int index) {
    m_window.cboZoom->setCurrentIndex(index);
    cboZoom_Click();
}

void Navigation::turnPage(ToolbarButton button) {
    if (!(m_report.lastPageIndex != 0 || m_view.centringInProgress || m_view.colorChanged)) return;
    m_view.colorChanged = false;
    m_window.VScroll->setRangeTwips(m_view.savedVRange);
    const int32_t first = m_report.firstPageNumber;
    int32_t page = m_view.currentPage;
    switch (button) {
    case First:
        page = first;
        break;
    case Previous:
        if (page > first) --page;
        break;
    case Next:
        if (page - first + 1 < m_report.lastPageIndex + 1) ++page;
        break;
    case Last:
        page = first + m_report.lastPageIndex;
        break;
    default:
        break;
    }
    m_view.currentPage = page;
    m_window.p1->show();
    m_renderer.RenderPage(false);
    if (button == Previous || button == Next) m_window.VScroll->setValue(0);
    m_view.pageListArmed = false;
    m_window.cboPage->setCurrentIndex(page - first);
    m_view.pageListArmed = true;
    if (m_view.zoomFactor >= 0.7f && m_view.centreAllPages)
        m_window.HScroll->setValue(int(std::lround(m_window.HScroll->maximum() / 2.0)));
    m_window.p1->setFocus();
}

void Navigation::cmd_Click(ToolbarButton button) {
    switch (button) {
    case Close:
        m_report.close();
        m_store.setItemCount(0);
        if (m_view.embedded) {
            // The host's window stays: the preview leaves its place in the host's layout.
            m_control->hide();
            emit closed();
        } else {
            emit closed();
            if (QWidget* form = m_control->window(); form && form != m_control) form->close();
        }
        break;
    case First:
    case Previous:
    case Next:
    case Last:
        turnPage(button);
        break;
    case Print:
        emit printRequested();
        break;
    case Search:
        emit searchRequested();
        break;
    case ContinueSearch:
        emit continueSearchRequested();
        break;
    }
}

void Navigation::cboPage_Click() {
    m_window.p1->hide();
    m_view.currentPage = m_report.firstPageNumber + std::max(0, m_window.cboPage->currentIndex());
    m_window.p1->show();
    if (m_view.pageListArmed) m_renderer.RenderPage(false);
    m_view.pageListArmed = true;
}

void Navigation::cboZoom_Click() {
    if (!m_view.zoomListArmed) {
        m_view.zoomListArmed = true; // the selection start-up makes
        return;
    }
    // The zoom comes from the entry's index, not from its text.
    const int index = std::max(0, m_window.cboZoom->currentIndex());
    using Fit = PreviewState::ZoomFit;
    m_view.zoomFit = index == FitWidthEntry  ? Fit::Width
                     : index == FitPageEntry ? Fit::Page
                                             : Fit::None;
    m_view.zoomFactor =
        m_view.zoomFit == Fit::None ? float(index * 10 + 20) / 100.0f : fittedZoom();
    if (m_view.centreAllPages) {
        emit recentreRequested();
    } else {
        m_renderer.RenderPage(false);
        showRightEdge(); // where right-to-left lines start, whatever the new width
    }
}

void Navigation::Image1_Click() {
    stepZoom(+1);
}

void Navigation::Image2_Click() {
    stepZoom(-1);
}

void Navigation::stepZoom(int step) {
    const int index = m_window.cboZoom->currentIndex();
    int next = index + step;
    if (index > LastPercentEntry) {
        // A fitted zoom lies between two entries (or beyond them): the next one that way.
        const double along = (double(m_view.zoomFactor) * 100 - 20) / 10;
        next = step > 0 ? int(std::floor(along + 1e-6)) + 1 : int(std::ceil(along - 1e-6)) - 1;
        next =
            std::clamp(next, step > 0 ? 0 : -1, step > 0 ? LastPercentEntry + 1 : LastPercentEntry);
    }
    if (next >= 0 && next <= LastPercentEntry) selectZoomEntry(next);
}

float Navigation::fittedZoom() const {
    const PageGeometry& u = m_report.unzoomed;
    if (!(u.width > 0) || !(u.height > 0)) return 1.0f;
    // A pixel of room on each side, so the sheet's edge shows.
    const QSize room = m_window.visibleArea() - QSize(2, 2);
    constexpr float Twips = PreviewWindow::TwipsPerPixel;
    float zoom = float(room.width()) * Twips / u.width;
    if (m_view.zoomFit == PreviewState::ZoomFit::Page)
        zoom = std::min(zoom, float(room.height()) * Twips / u.height);
    // As small as the list's smallest zoom goes and no larger than its largest, whatever the
    // window.
    return std::clamp(zoom, 0.05f, 2.0f);
}

void Navigation::refit() {
    if (m_view.zoomFit == PreviewState::ZoomFit::None || m_window.VScroll->isHidden()) return;
    const float zoom = fittedZoom();
    if (std::abs(zoom - m_view.zoomFactor) < 1e-4f) return;
    m_view.zoomFactor = zoom;
    m_renderer.RenderPage(false);
    showRightEdge();
    placeCanvas();
}

void Navigation::HandlePreviewKey(int code) {
    TwipScrollBar* v = m_window.VScroll;
    TwipScrollBar* h = m_window.HScroll;
    const double vValue = v->valueTwips(), hValue = h->valueTwips();
    const double vEnd = v->rangeTwips();
    // A page that fits the viewport has nothing to scroll: it is at its top and bottom at once.
    const bool atTop = vValue <= 0 || !v->isEnabled();
    const bool atBottom = vValue >= vEnd || !v->isEnabled();
    const double vStep = double(v->singleStep()) * v->twipsPerStep();
    const double hStep = double(h->singleStep()) * h->twipsPerStep();
    switch (code) {
    case PageUp:
        if (atTop && m_window.cboPage->currentIndex() > 0) return cmd_Click(Previous);
        setScroll(true, vValue - 3000);
        break;
    case PageDown:
        if (m_window.cboPage->currentIndex() < m_report.lastPageIndex && atBottom)
            return cmd_Click(Next);
        setScroll(true, vValue + 3000);
        break;
    case End:
    case F8:
        setScroll(true, vEnd);
        break;
    case Home:
    case F5:
        setScroll(true, 0);
        break;
    case Left:
        setScroll(false, hValue - hStep);
        break;
    case Up:
        if (atTop) return cmd_Click(Previous);
        setScroll(true, vValue - vStep);
        break;
    case Right:
        setScroll(false, hValue + hStep);
        break;
    case Down:
        if (atBottom) return cmd_Click(Next);
        setScroll(true, vValue + vStep);
        break;
    case F3:
        if (!m_window.txtSearch->text().trimmed().isEmpty() && m_view.searchContinue)
            cmd_Click(ContinueSearch);
        else
            cmd_Click(Search);
        m_view.searchContinue = true;
        return;
    case F4:
        emit thumbnailsToggleRequested();
        return;
    case F6:
        return cmd_Click(Previous);
    case F7:
        return cmd_Click(Next);
    default:
        break;
    }
    m_window.p1->setFocus();
}

} // namespace palvex
