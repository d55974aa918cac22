#pragma once

#include <QString>

#include "recording/ReportState.h"

#include <functional>

namespace palvex {

struct ReportState;
class ItemWriter;
class TextRecorder;
class GraphicsRecorder;
class ReportStore;
class Surface;

// Cuts the recorded stream into pages: page footers (the rule above the page number, the page
// number, the four footer texts), page ends, automatic breaks near the bottom, and the headers
// recorded at the top of each page.
class PageRecorder {
public:
    PageRecorder(ReportState& report, ReportStore& store, TextRecorder& text,
                 GraphicsRecorder& graphics, Surface& recordingSurface)
        : m_report(report), m_store(store), m_text(text), m_graphics(graphics),
          m_pic(recordingSurface) {}

    // Told at every page footer with the number of pages formatted so far.
    std::function<void(int32_t)> onPageFormatted;
    // A header or footer value the surface refuses: the control's current value stays, and the
    // host hears of it as of its own illegal values.
    std::function<void(IllegalValue)> onIllegalValue;

    void printPage();
    // printPage would find an item to carry the page's end: the page holds one, or its footer
    // records one. A page of nothing without a footer cannot end.
    bool pageCanEnd() const;
    void PrintHeader();
    void checkMin1();
    void checkMin2();
    // Closes the last page when it holds something and counts the pages: the last page index.
    void finishReport();

    // Validated access to the header and footer tables (subscript out of range otherwise).
    struct LineHeader& lineHeader(int16_t number);
    struct PositionedHeader& positionedHeader(int16_t number);
    struct FooterSlot& footer(int32_t slot);

private:
    void FinishPage();
    // The page number of the page whose footer is the `footerCount`th; blank for none.
    QString pageNumberText(int32_t footerCount) const;
    void PrintFooters();
    // Records a header's trimmed text by its alignment at the surface's cursor.
    void recordHeaderText(const QString& text, int32_t align);
    void applyFont(const QString& name, float size, bool bold, bool underline, bool italic,
                   int32_t color);
    bool belowTopMargin() const;
    Surface& surface() const;

    ReportState& m_report;
    ReportStore& m_store;
    TextRecorder& m_text;
    GraphicsRecorder& m_graphics;
    Surface& m_pic;
};

} // namespace palvex
