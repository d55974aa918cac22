#include "PageCentring.h"
#include "core/Guarded.h"

#include "PageCanvas.h"
#include "PageRenderer.h"
#include "PreviewWindow.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Screen.h"
#include "platform/Surface.h"
#include "preview/PreviewState.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"

#include "TwipScrollBar.h"
#include <QComboBox>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {
enum Option {
    Heading = 0,
    MarginsOption = 1,
    ZoomOptions = 2,
    CentreThisPage = 3,
    CentreAllPagesOption = 4,
    BackColor = 5
};
}

float centringShift(float width, float minTextX, float maxTextX) {
    if (!(maxTextX >= minTextX)) return 0; // no centrable text on the page
    const float left = (width - (maxTextX - minTextX)) / 2;
    return left - minTextX;
}

void PageCentring::cboMoreOptions_Click() {
    switch (m_window.cboMoreOptions->currentIndex()) {
    case MarginsOption:
        m_window.fraZoomOptions->hide();
        m_window.fraMarginsSetup->show();
        m_window.fraMarginsSetup->raise();
        break;
    case ZoomOptions:
        m_window.fraMarginsSetup->hide();
        m_window.fraZoomOptions->show();
        m_window.fraZoomOptions->raise();
        break;
    case CentreThisPage: {
        const int32_t page = m_view.currentPage - m_report.firstPageNumber + 1;
        m_view.centringInProgress = true;
        CentreAllPages(page, page);
        m_view.centringInProgress = false;
        break;
    }
    case CentreAllPagesOption:
        m_view.centringInProgress = true;
        CentreAllPages(1, m_report.pageFooterCount);
        m_view.centringInProgress = false;
        break;
    case BackColor:
        changeBackColor();
        break;
    default:
        break;
    }
    m_window.p1->setFocus();
}

void PageCentring::centreEveryPage() {
    m_view.centringInProgress = true;
    CentreAllPages(1, m_report.pageFooterCount);
}

void PageCentring::CentreAllPages(int32_t first, int32_t last) {
    first = std::max(1, first);
    last = std::min(last, int32_t(m_report.pageIndex.size()) - 1);
    if (first > last || !m_report.lines.surface()) return;
    m_view.pagesCentred = true;
    const bool several = first < last;
    const float areaWidth = float(m_window.areaTwips().width()),
                areaHeight = float(m_window.areaTwips().height());
    if (several) {
        QProgressBar* bar = m_window.Prg1;
        const QRectF b = PreviewWindow::placeOf(bar);
        PreviewWindow::place(bar, QRectF((areaWidth - b.width()) / 2, (areaHeight - b.height()) / 2,
                                         b.width(), b.height()));
        bar->setMaximum(last);
        bar->setValue(0);
        bar->show();
        bar->raise();
        QPushButton* wait = m_window.cmdShowDaf;
        wait->hide();
        wait->setStyleSheet(QStringLiteral("background-color: white;"));
        const QRectF w = PreviewWindow::placeOf(wait);
        PreviewWindow::place(wait, QRectF((areaWidth - w.width()) / 2,
                                          PreviewWindow::placeOf(bar).top() - w.height() - 30,
                                          w.width(), w.height()));
        wait->setText(m_view.centringWaitMessage);
        wait->show();
        wait->raise();
    }
    for (int32_t page = first; page <= last; ++page) {
        if (!several) m_window.p1->hide();
        const int32_t firstItem = page == 1 ? 1 : m_report.pageIndex[size_t(page - 1)] + 1;
        const int32_t lastItem = m_report.pageIndex[size_t(page)];
        m_renderer.measureExtent(firstItem, lastItem);
        const float shift =
            centringShift(m_report.unzoomed.scaleWidth, m_renderer.minTextX, m_renderer.maxTextX);
        for (int32_t n = firstItem; n <= lastItem; ++n) {
            PrintItem item = m_store.read(n);
            const float offset =
                (item.NoCentering == 1 || item.HAlign == AlignCenter) ? 0.0f : shift;
            if (item.CenterOffset != offset) {
                item.CenterOffset = offset;
                m_store.rewrite(n, item);
            }
        }
        if (several) m_window.Prg1->setValue(page);
    }
    if (several) {
        m_window.Prg1->hide();
        m_view.pagesCentred = false;
        m_window.cmdShowDaf->hide();
        if (onShowFirstPage) onShowFirstPage();
        if (m_view.zoomFactor >= 0.7f)
            m_window.HScroll->setValue(int(std::lround(m_window.HScroll->maximum() / 2.0)));
        return;
    }
    m_view.currentPage = m_report.firstPageNumber + last - 1;
    m_view.pagesCentred = false;
    m_window.VScroll->setRangeTwips(m_view.savedVRange);
    m_window.p1->show();
    m_renderer.RenderPage(false);
    if (onSelectPageEntry) onSelectPageEntry(last - 1);
    if (m_view.zoomFactor >= 0.7f)
        m_window.HScroll->setValue(int(std::lround(m_window.HScroll->maximum() / 2.0)));
    m_window.p1->setFocus();
}

void PageCentring::changeBackColor() {
    const std::optional<int32_t> color =
        m_dialogs.chooseColor(m_view.definitions.DefLongs[0], m_window.control);
    if (!color || !isValidColor(*color)) return;
    m_view.definitions.DefLongs[0] = *color;
    m_window.setPreviewColor(toQColor(*color));
    if (onBackColor) onBackColor(*color);
    m_store.writeDefinitions(m_view.definitions);
    m_view.definitions = m_store.readDefinitions();
    m_view.colorChanged = true;
    if (onShowFirstPage) onShowFirstPage();
}

} // namespace palvex
