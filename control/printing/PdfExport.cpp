#include "PdfExport.h"

#include "ControlState.h"
#include "PrintJob.h"
#include "interface/Guarded.h"
#include "platform/PrinterSurface.h"
#include "platform/Printers.h"

#include <QFileInfo>

namespace palvex {

namespace {

// The print job sets up the page for the printer in the shared state; an export must leave the
// preview's page (its zoom, page-number line and break limit) as the host sees it.
class KeepPreviewPage {
public:
    explicit KeepPreviewPage(ControlState& state)
        : m_state(state), m_zoom(state.zoomFactor), m_prWidth(state.props.gtPrWidth),
          m_pageNumberLine(state.props.currentYofPageNumber), m_breakLimit(state.breakLimit) {}
    ~KeepPreviewPage() {
        m_state.zoomFactor = m_zoom;
        m_state.props.gtPrWidth = m_prWidth;
        m_state.props.currentYofPageNumber = m_pageNumberLine;
        m_state.breakLimit = m_breakLimit;
    }
    KeepPreviewPage(const KeepPreviewPage&) = delete;
    KeepPreviewPage& operator=(const KeepPreviewPage&) = delete;

private:
    ControlState& m_state;
    float m_zoom, m_prWidth, m_pageNumberLine, m_breakLimit;
};

} // namespace

PrintRequest PdfExport::range(std::optional<int32_t> fromPage,
                              std::optional<int32_t> toPage) const {
    const int32_t first = m_state.firstPageNumber;
    const int32_t last = first + m_state.lastPageIndex;
    PrintRequest request;
    request.fromPage = fromPage.value_or(first);
    request.toPage = toPage.value_or(last);
    auto inReport = [&](int32_t page) { return page >= first && page <= last; };
    if (!inReport(request.fromPage) || !inReport(request.toPage) ||
        request.fromPage > request.toPage)
        raise(Status::SubscriptOutOfRange);
    return request;
}

int32_t PdfExport::print(const PrinterDevice& printer, const QString& pdfOutputPath,
                         std::optional<int32_t> fromPage, std::optional<int32_t> toPage,
                         int32_t copies) {
    PrintRequest request = range(fromPage, toPage);
    if (copies < 1) raise(Status::InvalidProcedureCall);
    request.copies = copies;
    request.monochrome = printer.colorMode != 2;
    request.duplex = m_state.pageSetup.duplex();
    request.paperSource = m_state.pageSetup.paperSource();
    KeepPreviewPage keep(m_state);
    PrinterSurface device(m_state.pageSetup.jobDevice(printer), pdfOutputPath);
    PrintJob(m_state, m_store).run(device, request);
    return request.toPage - request.fromPage + 1;
}

void PdfExport::run(const QString& path, std::optional<int32_t> fromPage,
                    std::optional<int32_t> toPage) {
    const PrintRequest request = range(fromPage, toPage);
    // A folder as the target would only fail at the rename, after the whole document was made.
    if (path.isEmpty() || QFileInfo(path).isDir()) raise(Status::PathFileAccessError);

    KeepPreviewPage keep(m_state);
    PrinterSurface pdf(m_state.pageSetup.pdfDevice(), path);
    try {
        PrintJob(m_state, m_store).run(pdf, request);
    } catch (const Error& error) {
        // On the PDF device every failure of the job is a failure to write the file.
        raise(error.status == Status::PrinterError ? Status::PathFileAccessError : error.status);
    }
}

} // namespace palvex
