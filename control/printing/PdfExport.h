#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace palvex {

struct PreviewState;
class ReportStore;
struct ReportState;

// Writes the recorded report, or a range of its pages, as a PDF file without the printer panel:
// the print job replays the pages on the built-in PDF device, on the report's page, at 100 %, and
// the file replaces the target only once the whole document is on disk. The preview's zoom and
// page-number line are left as they were, so a host may export while the preview is open.
class PdfExport {
public:
    PdfExport(ReportState& report, const PreviewState& view, const ReportStore& store)
        : m_report(report), m_view(view), m_store(store) {}

    // Page numbers as the preview shows them; omitted ones are the report's first and last.
    // Throws palvex::Error: 9 for a page outside the report or a range that ends before it
    // begins, 75 when the file cannot be written. The previous file is then untouched.
    void run(const QString& path, std::optional<int32_t> fromPage, std::optional<int32_t> toPage);

private:
    ReportState& m_report;
    const PreviewState& m_view;
    const ReportStore& m_store;
};

} // namespace palvex
