#pragma once

#include "printing/PrintJob.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace palvex {

struct PrinterDevice;
class ReportStore;
struct ReportState;

// Writes the recorded report, or a range of its pages, as a PDF file without the printer panel
// (or prints them, see print):
// the print job replays the pages on the built-in PDF device, on the report's page, at 100 %, and
// the file replaces the target only once the whole document is on disk. It only reads the report,
// so a host may export while the preview is open and finds the preview as it was.
class PdfExport {
public:
    PdfExport(const ReportState& report, PrintZoom zoom, const ReportStore& store)
        : m_report(report), m_zoom(zoom), m_store(store) {}

    // Page numbers as the preview shows them; omitted ones are the report's first and last.
    // Throws palvex::Error: 9 for a page outside the report or a range that ends before it
    // begins, 75 when the file cannot be written. The previous file is then untouched.
    void run(const QString& path, std::optional<int32_t> fromPage, std::optional<int32_t> toPage);

    // The same pages on `printer`, as the printer panel's job with its defaults (the printer's
    // quality, no print zoom, the page setup's duplex and tray), `copies` times. Throws 9 as
    // run does, 5 for copies below 1, 482 when the printer fails. Returns the pages printed.
    int32_t print(const PrinterDevice& printer, const QString& pdfOutputPath,
                  std::optional<int32_t> fromPage, std::optional<int32_t> toPage, int32_t copies);

private:
    // The page range as the preview numbers it; throws 9 when it is not within the report.
    struct PrintRequest range(std::optional<int32_t> fromPage, std::optional<int32_t> toPage) const;

    const ReportState& m_report;
    const PrintZoom m_zoom; // the preview's options; the factor is never applied
    const ReportStore& m_store;
};

} // namespace palvex
