#include "PrintJob.h"

#include "core/Guarded.h"
#include "platform/DocumentSurface.h"
#include "platform/Screen.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"
#include "replay/GraphicsReplay.h"
#include "replay/ItemReplay.h"

#include <algorithm>

namespace palvex {

void PrintJob::run(DocumentSurface& printer, const PrintRequest& request) {
    // A range that ends before it begins holds no page: starting a document for it would still
    // send the printer a blank sheet (or replace a PDF with an empty one).
    if (!request.holdsPages()) return;

    printer.setPrintQuality(request.quality);
    printer.setPaperHandling(request.duplex, request.paperSource);
    printer.setScaleTop(0);
    printer.setScaleLeft(0);
    // The page as the printer takes it: at 100 %, or at the preview's zoom when the panel asks
    // for it. The report's own lines stay where the preview placed them.
    const PageGeometry& page = m_report.unzoomed;
    const float zoom = request.applyZoom ? m_zoom.factor : 1.0f;
    float pageNumberLine = m_report.lines.unzoomedPageNumberLine();
    if (zoom != 1.0f) {
        if (m_zoom.height) pageNumberLine = printer.Height() * zoom - PageNumberGap;
        if (m_zoom.width) printer.setScaleWidth(page.scaleWidth * zoom);
    }

    // The items of the range, by the page index.
    const int32_t k1 = request.fromPage - m_report.firstPageNumber,
                  k2 = request.toPage - m_report.firstPageNumber;
    const auto& index = m_report.pageIndex;
    auto entry = [&](int32_t k) {
        return k >= 0 && size_t(k) < index.size() ? index[size_t(k)] : m_store.itemCount();
    };
    const int32_t first = k1 <= 0 ? 1 : entry(k1) + 1;
    const int32_t last = k2 >= m_report.lastPageIndex ? m_store.itemCount() : entry(k2 + 1);

    ReplayRules rules;
    rules.zoom = zoom;
    rules.margins = m_report.margins;
    rules.currentYofPageNumber = pageNumberLine;
    rules.zoomCurrentX = m_zoom.currentX;
    rules.centredTextTakesShift = false;
    rules.monochrome = request.monochrome;
    rules.trackExtent = false;
    rules.keepDrawn = false; // a job of thousands of pages keeps nothing per item
    rules.pageCount = m_report.pageCount();
    // Pen widths are in screen pixels; the printer's are smaller.
    const GraphicsReplay graphics(double(Screen::TwipsPerPixel) / (1440.0 / printer.resolution()));

    printer.begin();
    try {
        for (int32_t copy = 0; copy < request.copies; ++copy) {
            if (copy > 0) printer.NewPage();
            ItemReplay replay(m_store, printer, rules);
            replay.drawGraphic = [&graphics](const PrintItem& item, ItemReplay& r) {
                graphics.draw(item, r);
            };
            replay.afterItem = [&](int32_t n) {
                if (m_store.pageEndsAfter(n) && n < last) printer.NewPage();
            };
            replay.replay(first, last);
        }
        printer.EndDoc();
    } catch (...) {
        printer.abort();
        throw;
    }
}

} // namespace palvex
