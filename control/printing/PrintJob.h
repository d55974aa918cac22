#pragma once

#include <cstdint>

namespace palvex {

struct ControlState;
class PrinterSurface;
class ReportStore;

// What the printer panel hands the job.
struct PrintRequest {
    int32_t fromPage = 0, toPage = 0; // displayed page numbers
    int32_t copies = 1;
    int quality = -1;       // -1..-4, or a resolution in dots per inch
    bool applyZoom = false; // the panel's zoom entry 1
    bool monochrome = false;
    int duplex = -1, paperSource = -1; // QPrinter's modes; -1 the printer's own
};

// The print job: replays the items of the chosen pages on the printer through the same engine
// as the preview, copy after copy, with the printer's table of differences.
class PrintJob {
public:
    PrintJob(ControlState& state, const ReportStore& store) : m_state(state), m_store(store) {}

    // Throws palvex::Error (482) when the printer fails; the document is then abandoned.
    // A range from a later page to an earlier one starts no document: nothing is sent.
    void run(PrinterSurface& printer, const PrintRequest& request);

private:
    ControlState& m_state;
    const ReportStore& m_store;
};

} // namespace palvex
