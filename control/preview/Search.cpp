#include "Search.h"
#include "core/Guarded.h"

#include "PageCanvas.h"
#include "PageRenderer.h"
#include "PreviewWindow.h"
#include "TwipScrollBar.h"
#include "core/RecordCodec.h"
#include "platform/Dialogs.h"
#include "platform/ImageSurface.h"
#include "preview/PreviewState.h"
#include "recording/ItemWriter.h"
#include "recording/PageTokens.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace palvex {

namespace {
const QString kHebrewLayout = QStringLiteral("0000040D");
const QString kEnglishLayout = QStringLiteral("00000409");
constexpr int32_t Magenta = 0xFF00FF;
} // namespace

Search::Search(PreviewState& view, const ReportState& report, const ReportStore& store,
               PageRenderer& renderer, PreviewWindow& window, ImageSurface& canvas,
               KeyboardLayouts& keyboard)
    : QObject(window.control), m_view(view), m_report(report), m_store(store), m_renderer(renderer),
      m_window(window), m_canvas(canvas), m_keyboard(keyboard) {
    connect(m_window.txtSearch, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_searchText = t; });
    connect(m_window.cmdSearch, &QPushButton::clicked, this,
            m_window.guard.handler([this] { FindNext(); }));
    connect(m_window.cmdCancelSearch, &QPushButton::clicked, this,
            m_window.guard.handler([this] { cancel(); }));
    m_window.txtSearch->installEventFilter(this);
}

bool Search::eventFilter(QObject* watched, QEvent* event) {
    bool filtered = false;
    m_window.guard.run([&] { filtered = filterEvent(watched, event); });
    return filtered;
}

bool Search::filterEvent(QObject* watched, QEvent* event) {
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
        // With Shift held, X11 reports the Alt key as Meta.
        const bool alt = key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta;
        if (alt && (key->modifiers() & Qt::ShiftModifier)) {
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
    m_view.searchContinue = true;
    m_window.fraSearch->show();
    m_window.fraSearch->raise();
    m_window.txtSearch->setFocus();
}

void Search::cancel() {
    m_view.searchContinue = false;
    m_window.fraSearch->hide();
}

void Search::FindNext() {
    QString line;
    const QString target = trimBlanks(m_searchText);
    if (target.isEmpty()) return;
    int32_t found = 0;
    qsizetype position = 0;
    const CodePage& codePage = m_store.codePage();
    m_store.scan(std::max(1, m_searchStart), m_store.itemCount(),
                 [&](int32_t n, const StoredItem& item) {
                     // Only ordinary text is searched: the kind decides before the text is decoded.
                     const int16_t kind = item.kind();
                     if (kind >= KindSpecialCenter || kind < 0) return true;
                     const QString t =
                         trimBlanks(withPageCount(item.text(codePage), m_report.pageCount()));
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
    emit notFound(target + QLatin1Char('\n') + m_view.previewMessages[K2_Not_found_any_more]);
    m_view.searchContinue = false;
    m_window.txtSearch->clear();
    m_searchText.clear();
}

void Search::showMatch(int32_t n, const QString& line, qsizetype position) {
    const PrintItem item = m_store.read(n);
    m_window.p1->hide();
    m_view.currentPage = m_report.firstPageNumber + item.PageNumber - 1;
    emit pageEntryWanted(item.PageNumber - 1);
    m_window.fraSearch->hide();
    m_foundText = trimBlanks(m_searchText);
    m_renderer.RenderPage(false);

    // Where the page drew the match: the characters as the renderer laid them out, so the
    // highlight lands on them whatever their alignment, direction, footer or the zoom. A line
    // written a character at a time was joined from the items before the one that matched.
    struct Mark {
        const DrawnText* drawn;
        qsizetype from, length;
    };
    auto drawnItem = [this](int32_t k) -> const DrawnText* {
        for (const DrawnText& d : m_renderer.drawn)
            if (d.item == k) return &d;
        return nullptr;
    };
    std::vector<Mark> marks;
    const qsizetype matchFrom = position - 1, matchTo = matchFrom + m_foundText.size();
    qsizetype end = line.size(); // the part of the line still to place, from its end
    for (int32_t k = n; k >= 1 && end > 0; --k) {
        const DrawnText* d = drawnItem(k);
        if (!d) break;
        const QString text = trimBlanks(d->text);
        const qsizetype start = end - text.size();
        const qsizetype lead = d->text.size() - text.size(); // blanks the line does not have
        const qsizetype a = std::max(start, matchFrom), b = std::min(end, matchTo);
        if (a < b) marks.push_back({d, lead + a - start, b - a});
        end = start;
        if (text.size() != 1) break; // only single characters were joined
    }
    QRectF found; // twips on the canvas
    for (const Mark& m : marks)
        found |= m_canvas.textBox(m.drawn->text, m.drawn->font, m.drawn->x, m.drawn->y);
    const double y =
        marks.empty() ? m_canvas.originY() + item.ItemY * m_view.zoomFactor : found.top();

    TwipScrollBar* v = m_window.VScroll;
    const double h = m_window.viewportHeight(), s = double(v->singleStep()) * v->twipsPerStep();
    if (h - 2 * s < y) {
        if (y > m_view.vRange) v->setRangeTwips(m_view.vScrollAllowance + y + s);
        v->setValueTwips(y - 0.6 * h);
    } else {
        v->setValueTwips(y - s);
    }
    m_view.vRange = m_view.savedVRange;
    if (!found.isEmpty()) emit areaWanted(found);
    m_window.p1->show();

    // A screen reader's caret goes to the match in the page's reading text, selecting it.
    std::optional<std::pair<qsizetype, qsizetype>> read;
    for (const Mark& m : marks) {
        m_canvas.HighlightText(m.drawn->text, m.drawn->font, m.drawn->x, m.drawn->y, m.from,
                               m.length, Magenta);
        if (const auto r = m_window.p1->reading().rangeOf(m.drawn->item, m.from, m.length))
            read = read ? std::pair{std::min(read->first, r->first),
                                    std::max(read->second, r->second)}
                        : *r;
    }
    if (read) m_window.p1->selectText(read->first, read->second);
    m_window.p1->update();
    m_searchStart = n + 1;
}

} // namespace palvex
