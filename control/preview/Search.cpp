#include "Search.h"

#include "ControlState.h"
#include "Navigation.h"
#include "PageCanvas.h"
#include "PageRenderer.h"
#include "PreviewWindow.h"
#include "platform/Dialogs.h"
#include "platform/ImageSurface.h"
#include "recording/ItemWriter.h"
#include "recording/RecordCodec.h"
#include "recording/ReportStore.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {
const QString kHebrewLayout = QStringLiteral("0000040D");
const QString kEnglishLayout = QStringLiteral("00000409");
constexpr int32_t Magenta = 0xFF00FF;
} // namespace

Search::Search(ControlState& state, const ReportStore& store, PageRenderer& renderer,
               PreviewWindow& window, Navigation& navigation, ImageSurface& canvas,
               KeyboardLayouts& keyboard)
    : QObject(window.control), m_state(state), m_store(store), m_renderer(renderer),
      m_window(window), m_navigation(navigation), m_canvas(canvas), m_keyboard(keyboard) {
    connect(m_window.txtSearch, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_searchText = t; });
    connect(m_window.cmdSearch, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(m_window.cmdCancelSearch, &QPushButton::clicked, this, [this] { cancel(); });
    m_window.txtSearch->installEventFilter(this);
}

bool Search::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window.txtSearch) return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        // Text is typed in Hebrew first; Shift+Alt switches to English.
        m_keyboard.activate(kHebrewLayout);
        m_englishKeyboard = false;
        m_window.txtSearch->clear();
        m_window.txtSearch->setCursorPosition(0);
        return false;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            FindNext();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            cancel();
            return true;
        }
        return false;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt && shiftStateOf(key->modifiers()) == 1) {
            m_keyboard.activate(kEnglishLayout);
            m_englishKeyboard = true;
        }
        return false;
    }
    default:
        return false;
    }
}

void Search::openPanel() {
    m_searchStart = 1;
    m_state.searchContinue = true;
    m_window.fraSearch->show();
    m_window.fraSearch->raise();
    m_window.txtSearch->setFocus();
}

void Search::cancel() {
    m_state.searchContinue = false;
    m_window.fraSearch->hide();
}

void Search::FindNext() {
    QString line;
    const QString target = trimBlanks(m_searchText);
    if (target.isEmpty()) return;
    int32_t found = 0;
    qsizetype position = 0;
    const CodePage& codePage = CodePage::system();
    m_store.scan(std::max(1, m_searchStart), m_store.itemCount(),
                 [&](int32_t n, const PrintItem::Bytes& record) {
                     // Only ordinary text is searched: the kind decides before the text is decoded.
                     const int16_t kind = codec::getI16(record.data() + 233);
                     if (kind >= KindSpecialCenter || kind < 0) return true;
                     const QString t = trimBlanks(
                         codec::getText(record.data() + 53, PrintItem::TextWidth, codePage));
                     // Texts written a character at a time are put back together.
                     if (t.size() == 1)
                         line += t;
                     else
                         line = t;
                     if (t.size() > 1 || line.size() == target.size()) {
                         const qsizetype at = line.indexOf(target);
                         if (at >= 0) {
                             found = n;
                             position = at + 1;
                             return false;
                         }
                     }
                     return true;
                 });
    if (found) return showMatch(found, line, position);
    if (onNotFound) onNotFound(target + QLatin1Char('\n') + m_state.previewMessages[2]);
    m_state.searchContinue = false;
    m_window.txtSearch->clear();
    m_searchText.clear();
}

void Search::showMatch(int32_t n, const QString& line, qsizetype position) {
    const PrintItem item = m_store.read(n);
    m_window.p1->hide();
    m_state.currentPage = m_state.firstPageNumber + item.PageNumber - 1;
    m_navigation.selectPageEntry(item.PageNumber - 1);
    m_window.fraSearch->hide();
    m_foundText = trimBlanks(m_searchText);
    m_renderer.RenderPage(false);

    // Where the page drew the item: the highlight lands on it whatever its alignment, footer
    // or the screen's width.
    const DrawnText* drawn = nullptr;
    for (const DrawnText& d : m_renderer.drawn)
        if (d.item == n) drawn = &d;
    const float y = drawn ? drawn->y : item.ItemY * m_state.zoomFactor;

    QScrollBar* v = m_window.VScroll;
    const float h = m_window.viewportHeight(), s = float(v->singleStep());
    const float twipsPerUnit = float(m_canvas.twipsPerUnitY());
    const float yTwips = y * twipsPerUnit;
    if (h - 2 * s < yTwips) {
        if (yTwips > m_state.vRange)
            v->setMaximum(std::min(32767, int(std::lround(m_state.vScrollAllowance + yTwips + s))));
        v->setValue(std::clamp(int(std::lround(yTwips - 0.6 * h)), 0, v->maximum()));
    } else {
        v->setValue(std::clamp(int(std::lround(yTwips - s)), 0, v->maximum()));
    }
    m_state.vRange = m_state.savedVRange;
    m_window.p1->show();

    if (drawn) {
        m_canvas.restoreFont(drawn->font);
        m_canvas.setForeColor(Magenta);
        m_canvas.setCurrentY(drawn->y);
        const QString before = line.left(position - 1);
        const float x0 = drawn->x;
        const float x = m_englishKeyboard ? x0 + m_canvas.TextWidth(line.mid(position - 1)) -
                                                m_canvas.TextWidth(m_foundText)
                                          : x0 + m_canvas.TextWidth(before);
        m_canvas.setCurrentX(x);
        m_canvas.Print(m_foundText, false);
        m_window.p1->update();
    }
    m_searchStart = n + 1;
}

} // namespace palvex
