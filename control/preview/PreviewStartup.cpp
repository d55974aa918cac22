#include "PreviewStartup.h"

#include "core/Guarded.h"
#include "platform/Colors.h"
#include "platform/ImageSurface.h"
#include "platform/Printers.h"
#include "preview/PreviewState.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"

#include <QComboBox>

#include <algorithm>
#include <cmath>
#include <optional>

namespace palvex {

float marginTwips(int index) {
    return float(index * 0.01 * TwipsPerCm);
}

QString marginEntry(int index) {
    return QStringLiteral("%1.%2").arg(index / 100).arg(index % 100, 2, 10, QLatin1Char('0'));
}

void showMargin(QComboBox& list, int index) {
    const bool listed = index >= 0 && index < list.count();
    list.setPlaceholderText(listed ? QString() : marginEntry(index));
    list.setCurrentIndex(listed ? index : -1);
}

int marginIndex(double centimetres) {
    return std::clamp(int(std::lround(centimetres / 0.01)), 0, 400);
}

void PreviewStartup::openStore(const std::string& directory) {
    m_report.defaultMarginsCm = Definitions::DefaultMarginsCm;
    // The report is stored in the page the CodePage property names now, whatever it names later.
    m_report.codePage = &CodePage::forNumber(m_report.props.CodePage);
    m_report.lostCharactersTold = false;
    m_store.setCodePage(m_report.page());
    m_store.markClosed();
    m_store.OpenReportStore(directory, m_report.defaultMarginsCm);
    m_view.definitions = m_store.readDefinitions();
}

void PreviewStartup::applyBackColor() {
    m_report.props.BackColor = m_view.definitions.DefLongs[0];
}

void PreviewStartup::resetFlags() {
    m_view.pagesCentred = false;
    m_report.hostMarks.yRelative = 0;
    m_report.lineEnded = true;
    m_report.pictureWithoutAltTextPage = 0;
    m_report.lineAbovePageNumber = QLatin1Char(' ');
    m_report.table = TableState{};
    m_view.zoomFactor = 1.0f;
    m_view.zoomFit = PreviewState::ZoomFit::None;
}

void PreviewStartup::applyDefinitions() {
    const Definitions& d = m_view.definitions;
    m_view.zoomCurrentX = d.DefFlags[0] == 1;
    m_view.zoomWidth = d.DefFlags[1] == 1;
    m_view.zoomHeight = d.DefFlags[2] == 1;
    for (int i = 0; i < 4; ++i)
        m_view.marginIndexes[i] = marginIndex(d.DefReals[i]);
    // Margins the host set from code are this control's, whatever the folder's file says.
    if (m_report.hostMarginIndexes) m_view.marginIndexes = *m_report.hostMarginIndexes;
    m_report.margins = {marginTwips(m_view.marginIndexes[0]), marginTwips(m_view.marginIndexes[1]),
                        marginTwips(m_view.marginIndexes[2]), marginTwips(m_view.marginIndexes[3])};
    m_report.savedMargins = m_report.margins;
}

void PreviewStartup::sizePage() {
    if (m_report.firstPageNumber < 1) m_report.firstPageNumber = 1;
    m_canvas.setScaleModeTwips();
    m_canvas.setWidth(11909);
    m_canvas.setHeight(16834);
    float pageNumberY = FixedPageNumberY;
    std::optional<PrinterDevice> printer;
    try {
        printer = m_printers.current();
    } catch (const Error&) {
        // No printer answers: the chosen page, else the fixed page below.
    }
    if (printer && printer->deviceName == QLatin1String("Fax")) printer.reset();
    const std::optional<PrinterDevice> page = m_report.pageSetup.startReport(printer);
    if (page) {
        pageNumberY = page->height - m_report.margins.bottom - PageNumberGap;
        m_canvas.setHeight(page->height + PageNumberGap);
        m_canvas.setWidth(page->width);
        m_canvas.setScaleHeight(page->scaleHeight);
        m_canvas.setScaleWidth(page->scaleWidth);
        m_canvas.setPage(page->left, page->top);
    } else {
        pageNumberY = FixedPageNumberY;
        m_canvas.setHeight(FixedHeight);
        m_canvas.setWidth(FixedWidth);
        m_canvas.setScaleModeTwips();
        m_canvas.setScaleHeight(FixedScaleHeight);
        m_canvas.setScaleWidth(FixedScaleWidth);
        // The printable area centred on the paper; the canvas has room below the paper.
        m_canvas.setPage((FixedWidth - FixedScaleWidth) / 2,
                         (FixedHeight - PageNumberGap - FixedScaleHeight) / 2);
    }
    m_report.lines.placePageNumberLine(pageNumberY);
    m_report.unzoomed = {m_canvas.Width(), m_canvas.Height(), m_canvas.ScaleWidth(),
                         m_canvas.ScaleHeight()};
    m_report.props.gtPrWidth = m_canvas.Width();
    m_report.props.ScaleHeight = m_canvas.ScaleHeight();
    m_report.props.ScaleWidth = m_canvas.ScaleWidth();
    m_view.searchContinue = false;
    m_report.reduceTwips = 1000;
    m_report.props.gtAfterPage = false;
    // Each report starts with the page numbers the host asked for last.
    m_report.noPageNumbers = m_report.props.dontPrintNumberPage;
    m_report.pageFooterCount = 0;
    m_report.pageIndex.assign(1, 0);
    m_report.lastPageIndex = 0;
}

void PreviewStartup::resetRecording() {
    // The recording surface takes the page's size; recording starts at the top margin.
    m_pic.setScaleModeTwips();
    m_pic.setWidth(m_canvas.Width());
    m_pic.setHeight(m_canvas.Height());
    m_pic.setScaleWidth(m_canvas.ScaleWidth());
    m_pic.setScaleHeight(m_canvas.ScaleHeight());
    m_pic.setPage(0, 0); // measures in twips, as the canvas and the printer draw
    m_store.resetItems();
    m_report.pagesEnded = 0;
    m_pic.Cls();
    m_report.lines.drawOn(m_pic);
    m_canvas.setScaleWidth(m_pic.ScaleWidth());
    m_pic.setCurrentY(m_report.margins.top);
}

void PreviewStartup::resetHeaders() {
    // Kind and position are kept: a host sets headers after the start.
    auto reset = [](HeaderText& h) {
        const int32_t kind = h.kind;
        h = HeaderText{};
        h.kind = kind;
    };
    for (LineHeader& h : m_report.lineHeaders) {
        reset(h);
        h.linesAfter = 1;
        h.linesBefore = 0;
    }
    for (PositionedHeader& h : m_report.positionedHeaders)
        reset(h);
}

} // namespace palvex
