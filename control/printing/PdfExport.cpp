#include "PdfExport.h"

#include "AccessibleExport.h"
#include "PrintJob.h"
#include "core/Guarded.h"
#include "platform/PdfSurface.h"
#include "platform/Printers.h"
#include "recording/ReportState.h"

#include <QFileInfo>

namespace palvex {

PrintRequest PdfExport::range(std::optional<int32_t> fromPage,
                              std::optional<int32_t> toPage) const {
    const int32_t first = m_report.firstPageNumber;
    const int32_t last = first + m_report.lastPageIndex;
    PrintRequest request;
    request.fromPage = fromPage.value_or(first);
    request.toPage = toPage.value_or(last);
    auto inReport = [&](int32_t page) { return page >= first && page <= last; };
    if (!inReport(request.fromPage) || !inReport(request.toPage) ||
        request.fromPage > request.toPage)
        refuse(Status::SubscriptOutOfRange,
               QStringLiteral("pages %1 to %2 are not a range of the report's pages %3 to %4")
                   .arg(request.fromPage)
                   .arg(request.toPage)
                   .arg(first)
                   .arg(last));
    return request;
}

int32_t PdfExport::print(const PrinterDevice& printer, const QString& pdfOutputPath,
                         std::optional<int32_t> fromPage, std::optional<int32_t> toPage,
                         int32_t copies) {
    PrintRequest request = range(fromPage, toPage);
    if (copies < 1)
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("%1 copies; at least 1 is printed").arg(copies));
    request.copies = copies;
    if (printer.isPdf) refuseUnlessAccessible(m_report); // the PDF device writes what export does
    request.monochrome = printer.colorMode != 2;
    request.duplex = m_report.pageSetup.duplex();
    request.paperSource = m_report.pageSetup.paperSource();
    const std::unique_ptr<DocumentSurface> device = DocumentSurface::open(
        m_report.pageSetup.jobDevice(printer), pdfOutputPath, m_report.document);
    PrintJob(m_report, m_zoom, m_store).run(*device, request);
    return request.toPage - request.fromPage + 1;
}

void PdfExport::run(const QString& path, std::optional<int32_t> fromPage,
                    std::optional<int32_t> toPage) {
    const PrintRequest request = range(fromPage, toPage);
    refuseUnlessAccessible(m_report);
    // A folder as the target would only fail at the rename, after the whole document was made.
    if (path.isEmpty())
        refuse(Status::PathFileAccessError, QStringLiteral("no file name was given"));
    if (QFileInfo(path).isDir())
        refuse(Status::PathFileAccessError,
               QStringLiteral("\"%1\" is a folder; name the PDF file to write").arg(path));

    PdfSurface pdf(m_report.pageSetup.pdfDevice(), path, m_report.document);
    try {
        PrintJob(m_report, m_zoom, m_store).run(pdf, request);
    } catch (const Refusal& refusal) {
        // On the PDF device every failure of the job is a failure to write the file.
        if (refusal.status != Status::PrinterError) throw;
        refuse(Status::PathFileAccessError, refusal.reason);
    } catch (const Error& error) {
        raise(error.status == Status::PrinterError ? Status::PathFileAccessError : error.status);
    }
}

} // namespace palvex
