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

namespace {

QString marginEntry(int index) {
    return QStringLiteral("%1.%2").arg(index / 100).arg(index % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

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
    const QSizeF area = coveredArea();
    const float areaWidth = float(area.width()), areaHeight = float(area.height());
    m_window.scaleToolbar(areaWidth); // 1
    m_startup.openStore(directory);   // 2
    // 3. Embedded, the host's layout has placed the control, and the preview uses all of it.
    m_window.bottomReserve = m_view.embedded ? 0 : PreviewWindow::ScreenBottomReserve;
    if (m_view.embedded)
        m_window.showLaidOut();
    else
        m_window.coverScreen(areaWidth, areaHeight);
    m_window.setPreviewColor(toQColor(m_view.definitions.DefLongs[0]));
    m_startup.applyBackColor();
    m_window.cboZoomPrinting->clear(); // 5
    m_window.cboQuality->clear();
    for (int i = 0; i < 2; ++i)
        m_window.cboZoomPrinting->addItem(QStringLiteral(" "));
    for (int i = 0; i < 11; ++i)
        m_window.cboQuality->addItem(QStringLiteral(" "));
    m_view.formattingCaption = QStringLiteral("Formating Page "); // 6
    m_view.pageCaption = QStringLiteral("Page Number ");
    m_view.previewMessages = {
        QStringLiteral("Please write number of copies 1 or higher"),
        QStringLiteral("Is the number of copies OK?"), QStringLiteral("Not found any more"),
        QStringLiteral("Printer problem!\nPlease check if a printer is connected to the "
                       "computer\nand that it is online")};
    m_view.centringWaitMessage = QStringLiteral("Please wait for centering all pages");
    m_view.keptTexts.applyTo(m_view, m_window.cboQuality, m_window.cboZoomPrinting);
    m_window.cboQuality->setCurrentIndex(0); // 7
    m_window.cboZoomPrinting->setCurrentIndex(0);
    m_startup.resetFlags();
    m_window.cboZoom->setItemText(0, QStringLiteral("20%"));
    m_window.cboMoreOptions->setCurrentIndex(0);
    m_window.place(m_window.fraZoomOptions, QRectF(0, 0, 2175, 2775)); // 8
    m_window.place(m_window.fraMarginsSetup, QRectF(0, 0, 2535, 3135));
    PreviewWindow::centre(m_window.fraZoomOptions, areaWidth, areaHeight);
    PreviewWindow::centre(m_window.fraMarginsSetup, areaWidth, areaHeight);
    m_startup.applyDefinitions();
    // The boxes are the zoom options in force: each change of one reads all three.
    const bool currentX = m_view.zoomCurrentX, width = m_view.zoomWidth, height = m_view.zoomHeight;
    m_window.chkZoomCurrentx->setChecked(currentX);
    m_window.chkZoomWidth->setChecked(width);
    m_window.chkZoomHeight->setChecked(height);
    fillMarginLists();
    for (size_t i = 0; i < 4; ++i)
        m_window.cboMargins[i]->setCurrentIndex(m_view.marginIndexes[i]);
    m_window.VScroll->hide(); // 9
    m_window.HScroll->hide();
    m_window.fraPrinter->hide();
    m_window.fraZoomOptions->hide();
    m_window.fraMarginsSetup->hide();
    m_startup.sizePage(); // 9, 10
    m_window.pageList->clear();
    m_window.placeScrollBars();      // 11
    m_renderer.updateScrollRanges(); // the unzoomed canvas against the viewport
    m_view.vScrollAllowance = int(std::lround(m_report.unzoomed.scaleHeight /
                                              std::max(1, m_window.VScroll->singleStep()))) +
                              50;
    m_navigation.showRightEdge();    // right-to-left text begins at the right
    m_navigation.selectZoomEntry(8); // 12
    m_startup.resetRecording();      // 13, 16
    m_startup.resetHeaders();        // 14
    PreviewWindow::centre(m_window.fraSearch, areaWidth, areaHeight); // 15
    for (size_t i = 0; i < 8; ++i)                                    // 17
        if (!m_view.buttonCaptions[i].trimmed().isEmpty())
            m_window.cmd[i]->setText(m_view.buttonCaptions[i]);
    m_window.cmdShowDaf->setText(m_view.formattingCaption); // 19
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
}

} // namespace palvex
