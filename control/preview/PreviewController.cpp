#include "PreviewController.h"

#include "ControlState.h"
#include "Navigation.h"
#include "PageCanvas.h"
#include "PageNumberList.h"
#include "PageRenderer.h"
#include "PreviewStartup.h"
#include "PreviewWindow.h"
#include "platform/Colors.h"
#include "platform/Screen.h"
#include "recording/ReportStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>

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
    const float screenWidth = m_screen.widthTwips(), screenHeight = m_screen.heightTwips();
    m_window.scaleToolbar(screenWidth);              // 1
    m_startup.openStore(directory);                  // 2
    m_window.coverScreen(screenWidth, screenHeight); // 3
    m_window.setPreviewColor(toQColor(m_state.definitions.DefLongs[0]));
    m_startup.applyBackColor();
    m_window.cboZoomPrinting->clear(); // 5
    m_window.cboQuality->clear();
    for (int i = 0; i < 2; ++i)
        m_window.cboZoomPrinting->addItem(QStringLiteral(" "));
    for (int i = 0; i < 11; ++i)
        m_window.cboQuality->addItem(QStringLiteral(" "));
    m_state.formattingCaption = QStringLiteral("Formating Page "); // 6
    m_state.pageCaption = QStringLiteral("Page Number ");
    m_state.previewMessages = {
        QStringLiteral("Please write number of copies 1 or higher"),
        QStringLiteral("Is the number of copies OK?"), QStringLiteral("Not found any more"),
        QStringLiteral("Printer problem!\nPlease check if a printer is connected to the "
                       "computer\nand that it is online")};
    m_state.centringWaitMessage = QStringLiteral("Please wait for centering all pages");
    m_window.cboQuality->setCurrentIndex(0); // 7
    m_window.cboZoomPrinting->setCurrentIndex(0);
    m_startup.resetFlags();
    m_window.cboZoom->setItemText(0, QStringLiteral("20%"));
    m_window.cboMoreOptions->setCurrentIndex(0);
    m_window.place(m_window.fraZoomOptions, QRectF(0, 0, 2175, 2775)); // 8
    m_window.place(m_window.fraMarginsSetup, QRectF(0, 0, 2535, 3135));
    PreviewWindow::centre(m_window.fraZoomOptions, screenWidth, screenHeight);
    PreviewWindow::centre(m_window.fraMarginsSetup, screenWidth, screenHeight);
    m_startup.applyDefinitions();
    // The boxes are the zoom options in force: each change of one reads all three.
    const bool currentX = m_state.zoomCurrentX, width = m_state.zoomWidth,
               height = m_state.zoomHeight;
    m_window.chkZoomCurrentx->setChecked(currentX);
    m_window.chkZoomWidth->setChecked(width);
    m_window.chkZoomHeight->setChecked(height);
    fillMarginLists();
    for (size_t i = 0; i < 4; ++i)
        m_window.cboMargins[i]->setCurrentIndex(m_state.marginIndexes[i]);
    m_window.VScroll->hide(); // 9
    m_window.HScroll->hide();
    m_window.fraPrinter->hide();
    m_window.fraZoomOptions->hide();
    m_window.fraMarginsSetup->hide();
    m_startup.sizePage(); // 9, 10
    m_window.pageList->clear();
    m_window.placeScrollBars(); // 11
    const float canvasHeight = m_state.unzoomed.height, canvasWidth = m_state.unzoomed.width;
    m_state.vRange = clampScroll(canvasHeight - m_window.viewportHeight());
    m_state.hRange = clampScroll(canvasWidth - m_window.viewportWidth());
    m_window.VScroll->setMaximum(m_state.vRange);
    m_window.VScroll->setPageStep(std::max(1, m_state.vRange / 10));
    m_state.vScrollAllowance = int(std::lround(m_state.unzoomed.scaleHeight /
                                               std::max(1, m_window.VScroll->singleStep()))) +
                               50;
    m_window.HScroll->setMaximum(m_state.hRange);
    m_window.HScroll->setPageStep(std::max(1, m_state.hRange / 10));
    m_state.savedHRange = m_state.hRange;
    m_state.savedVRange = m_state.vRange;
    m_window.HScroll->setValue(
        m_window.HScroll->maximum()); // right-to-left text begins at the right
    m_navigation.selectZoomEntry(8);  // 12
    m_startup.resetRecording();       // 13, 16
    m_startup.resetHeaders();         // 14
    PreviewWindow::centre(m_window.fraSearch, screenWidth, screenHeight); // 15
    for (size_t i = 0; i < 8; ++i)                                        // 17
        if (!m_state.buttonCaptions[i].trimmed().isEmpty())
            m_window.cmd[i]->setText(m_state.buttonCaptions[i]);
    m_window.cmdShowDaf->setText(m_state.formattingCaption); // 19
    m_window.cmdShowDaf->show();
}

void PreviewController::ShowFormattingPage(int pages) {
    m_window.cmdShowDaf->show();
    m_window.cmdShowDaf->setText(m_state.formattingCaption + QString::number(pages));
}

void PreviewController::showReport() {
    m_window.HScroll->show();
    m_window.VScroll->show();
    m_state.pageListArmed = false;
    m_window.pageList->show(m_state.pageCaption, m_state.firstPageNumber,
                            m_state.lastPageIndex + 1);
    m_window.cboPage->setCurrentIndex(0);
    m_state.pageListArmed = true;
    m_state.pagesEnded = 0;
    m_state.currentPage = m_state.firstPageNumber;
    m_renderer.RenderPage(false);
    m_state.props.gtAfterPage = true;
    m_window.cmdShowDaf->hide();
}

} // namespace palvex
