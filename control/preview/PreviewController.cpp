#include "PreviewController.h"

#include "Navigation.h"
#include "PageCanvas.h"
#include "PageNumberList.h"
#include "PageRenderer.h"
#include "PreviewStartup.h"
#include "PreviewWindow.h"
#include "TwipScrollBar.h"
#include "platform/Colors.h"
#include "platform/Screen.h"
#include "preview/PreviewState.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include <cmath>

namespace palvex {

void PreviewController::fillMarginLists() {
    static const QStringList entries = [] {
        QStringList list;
        for (int i = 0; i <= 400; ++i)
            list << marginEntry(i);
        return list;
    }();
    for (QComboBox* list : m_window.cboMargins) {
        if (list->count() != entries.size()) {
            list->clear();
            list->addItems(entries);
        }
    }
}

void PreviewController::start(const std::string& directory) {
    m_renderer.setReportShown(false);
    if (onStarting) onStarting();
    const QSizeF area = coveredArea();
    m_window.scaleToolbar(float(area.width()));
    m_startup.openStore(directory);
    showWindow(area);
    resetTexts();
    resetOptionPanels(area);
    resetPageView();
    m_startup.resetRecording();
    m_startup.resetHeaders();
    PreviewWindow::centre(m_window.fraSearch, float(area.width()), float(area.height()));
    applyHostCaptions();
}

void PreviewController::showWindow(const QSizeF& area) {
    // Embedded, the host's layout has placed the control, and the preview uses all of it.
    m_window.bottomReserve = m_view.embedded ? 0 : PreviewWindow::ScreenBottomReserve;
    if (m_view.embedded)
        m_window.showLaidOut();
    else
        m_window.coverScreen(float(area.width()), float(area.height()));
    m_window.setPreviewColor(toQColor(m_view.definitions.DefLongs[0]));
    m_startup.applyBackColor();
}

void PreviewController::resetTexts() {
    // The English texts every report starts with, and over them the ones a host kept.
    const WindowTextSet& english = englishTexts();
    m_window.cboZoomPrinting->clear();
    m_window.cboQuality->clear();
    for (const QString& entry : english.printZoomEntries)
        m_window.cboZoomPrinting->addItem(entry);
    for (const QString& entry : english.qualityEntries)
        m_window.cboQuality->addItem(entry);
    m_view.formattingCaption = english.formattingCaption;
    m_view.pageCaption = english.pageCaption;
    m_view.previewMessages = english.messages;
    m_view.centringWaitMessage = english.centringWait;
    m_view.keptTexts.applyTo(m_view, m_window.cboQuality, m_window.cboZoomPrinting);
    m_window.cboQuality->setCurrentIndex(0);
    m_window.cboZoomPrinting->setCurrentIndex(0);
}

void PreviewController::resetOptionPanels(const QSizeF& area) {
    m_startup.resetFlags();
    m_window.cboZoom->setItemText(0, QStringLiteral("20%"));
    m_window.cboMoreOptions->setCurrentIndex(0);
    m_window.place(m_window.fraZoomOptions, QRectF(0, 0, 2175, 2775));
    m_window.place(m_window.fraMarginsSetup, QRectF(0, 0, 2535, 3135));
    PreviewWindow::centre(m_window.fraZoomOptions, float(area.width()), float(area.height()));
    PreviewWindow::centre(m_window.fraMarginsSetup, float(area.width()), float(area.height()));
    m_startup.applyDefinitions();
    // The boxes are the zoom options in force: each change of one reads all three.
    const bool currentX = m_view.zoomCurrentX, width = m_view.zoomWidth, height = m_view.zoomHeight;
    m_window.chkZoomCurrentx->setChecked(currentX);
    m_window.chkZoomWidth->setChecked(width);
    m_window.chkZoomHeight->setChecked(height);
    fillMarginLists();
    for (size_t i = 0; i < 4; ++i)
        showMargin(*m_window.cboMargins[i], m_view.marginIndexes[i]);
}

void PreviewController::resetPageView() {
    m_window.VScroll->hide();
    m_window.HScroll->hide();
    m_window.fraPrinter->hide();
    m_window.fraZoomOptions->hide();
    m_window.fraMarginsSetup->hide();
    m_startup.sizePage();
    m_window.pageList->clear();
    m_window.placeScrollBars();
    m_renderer.updateScrollRanges(); // the unzoomed canvas against the viewport
    m_view.vScrollAllowance = int(std::lround(m_report.unzoomed.scaleHeight /
                                              std::max(1, m_window.VScroll->singleStep()))) +
                              50;
    m_navigation.showRightEdge();    // right-to-left text begins at the right
    m_navigation.selectZoomEntry(8); // 100 %
}

void PreviewController::applyHostCaptions() {
    for (size_t i = 0; i < ToolbarButtonCount; ++i) {
        const ToolbarButton button = m_view.buttonCaptions.key(i);
        if (!m_view.buttonCaptions[button].trimmed().isEmpty())
            m_window.cmd[button]->setText(m_view.buttonCaptions[button]);
    }
    if (!m_view.thumbnailsButtonCaption.trimmed().isEmpty())
        m_window.cmdThumbnails->setText(m_view.thumbnailsButtonCaption);
    m_window.cmdShowDaf->setText(m_view.formattingCaption);
    m_window.cmdShowDaf->show();
}

void PreviewController::ShowFormattingPage(int pages) {
    m_window.cmdShowDaf->show();
    m_window.cmdShowDaf->setText(m_view.formattingCaption + QString::number(pages));
}

void PreviewController::showReport() {
    m_window.HScroll->show();
    m_window.VScroll->show();
    m_view.pageListArmed = false;
    m_window.pageList->show(m_view.pageCaption, m_report.firstPageNumber,
                            m_report.lastPageIndex + 1);
    m_window.cboPage->setCurrentIndex(0);
    m_view.pageListArmed = true;
    m_report.restartPageCount();
    m_view.currentPage = m_report.firstPageNumber;
    m_renderer.setReportShown(true);
    m_renderer.RenderPage(false);
    // Only now is the canvas its final size: the view opens at the page's top right corner.
    m_window.VScroll->setValue(0);
    m_navigation.showRightEdge();
    m_navigation.placeCanvas();
    m_report.setAfterPage(true);
    m_window.cmdShowDaf->hide();
}

QSizeF PreviewController::coveredArea() const {
    // Embedded, the host's layout gives the control its place and the preview keeps within it.
    if (m_view.embedded) return m_window.areaTwips();
    QSizeF area(m_screen.widthTwips(), m_screen.heightTwips());
    // A host window that is on screen and smaller than it holds the control within its bounds.
    const QWidget* host = m_window.control->parentWidget();
    if (host && host->isVisible())
        area = area.boundedTo(QSizeF(host->width(), host->height()) * PreviewWindow::TwipsPerPixel);
    return area;
}

void PreviewController::followHost() {
    if (m_view.embedded) return; // the host's layout sizes the control
    const QSizeF area = coveredArea();
    PreviewWindow::place(m_window.control, QRectF(QPointF(0, 0), area));
}

void PreviewController::relayOut() {
    m_window.layOut();
    m_renderer.updateScrollRanges();
    m_navigation.placeCanvas();
    m_navigation.refit();
}

} // namespace palvex
