#pragma once

#include <cstdint>

namespace palvex {

class DocumentSurface;
struct ReportState;
class ReportStore;

// The preview's zoom as a job may apply it: the factor and the zoom options' three boxes.
struct PrintZoom {
    float factor = 1.0f;
    bool currentX = true, width = false, height = false;
};

// What the printer panel hands the job.
struct PrintRequest {
    int32_t fromPage = 0, toPage = 0; // displayed page numbers
    int32_t copies = 1;
    int quality = -1;       // -1..-4, or a resolution in dots per inch
    bool applyZoom = false; // the panel's zoom entry 1
    bool monochrome = false;
    int duplex = -1, paperSource = -1; // QPrinter's modes; -1 the printer's own

    // A range that ends before it begins holds no page.
    bool holdsPages() const { return fromPage <= toPage; }
};

// The print job: replays the items of the chosen pages on the printer through the same engine
// as the preview, copy after copy, with the printer's table of differences. It is given the
// preview's zoom as it stands and only reads the report: the page-number line it prints at is
// its own, so a job leaves the preview's page as the host sees it.
class PrintJob {
public:
    PrintJob(const ReportState& report, PrintZoom zoom, const ReportStore& store)
        : m_report(report), m_zoom(zoom), m_store(store) {}

    // Throws palvex::Error (482) when the printer fails; the document is then abandoned.
    // A range from a later page to an earlier one starts no document: nothing is sent.
    void run(DocumentSurface& printer, const PrintRequest& request);

private:
    const ReportState& m_report;
    const PrintZoom m_zoom;
    const ReportStore& m_store;
};

} // namespace palvex
