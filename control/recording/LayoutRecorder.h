#pragma once

#include "core/ItemRole.h"
#include "recording/LineBreaker.h"
#include "recording/TableState.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace palvex {

struct ReportState;
class TextRecorder;
class GraphicsRecorder;
class PageRecorder;
class Surface;

// Lays text out for the host and records it as ordinary items: paragraphs wrapped into lines of
// a box, and tables of wrapped cells, with page breaks (footer, new page, headers) where the next
// line or row would pass the break limit. Every line is one text item and every rule one line
// item, so the preview, the print, the PDF, search, centring and printouts take them as they
// take what a host records itself.
class LayoutRecorder {
public:
    LayoutRecorder(ReportState& report, TextRecorder& text, GraphicsRecorder& graphics,
                   PageRecorder& pages)
        : m_report(report), m_text(text), m_graphics(graphics), m_pages(pages) {}

    // The text wrapped into a box `width` twips wide whose right edge is the cursor's x, or the
    // right margin when the cursor is nearer the edge than that; the cursor ends below the last
    // line at the box's right edge. Throws 380 for a width that would cross the left margin,
    // a width or line spacing that is not a positive number a page can hold, or an alignment
    // outside 1-4.
    void printParagraph(const QString& text, float width, int32_t alignment, float lineSpacing);

    void tableClear();
    // Throws 380 for a width that is not positive or an alignment outside 1-4, and 5 while a
    // table is begun.
    void tableAddColumn(float width, int32_t alignment, const QString& header);
    // Fixes the table's right edge where a paragraph's would be (the cursor's x, at least the
    // right margin). The header row in bold (none when no column has a header) is recorded with
    // the first row, so that the two begin a page together. Throws 5 without columns or inside
    // a begun table, and 380 when the columns would cross the left margin.
    void tableBegin(bool repeatHeader);
    // One row, its cells separated by tabs; missing cells are empty. Throws 380, recording
    // nothing, for more cells than columns, and 5 outside a begun table.
    void tableRow(const QString& cells);
    // Many rows at once, separated by the record separator (U+001E): for hosts whose every call
    // costs (Python). All are checked before the first is recorded.
    void tableRows(const QString& rows);
    // The cursor below the table at its right edge. Throws 5 outside a begun table.
    void tableEnd();

private:
    struct Cell {
        std::vector<BrokenLine> lines;
    };
    std::vector<Cell> m_rowCells;
    Surface& surface() const;
    // Where a box's right edge goes: the cursor's x, or the right margin when that is further in.
    float boxRight() const;
    // The width between a box's right edge and the left margin.
    float roomLeftOf(float right) const;
    float lineHeight() const;
    float measure(const QString& text) const;
    std::function<float(const QString&)> measurer() const;
    float widthOf(const BrokenLine& line) const;
    // Ends the page when `height` more would pass the break limit, unless the cursor is where a
    // page begins (so a line taller than a page is recorded all the same). True when it did.
    bool breakPageFor(float height);
    // One line of text in a box of `width` whose right edge is `right`, at the cursor's y, as
    // `tag` says, beginning what m_starts says is due.
    void recordLine(const BrokenLine& line, float right, float width, BoxAlignment alignment,
                    ItemTag tag);
    // The cells of a row, wrapped in their columns, into `cells` (whose storage a table's rows
    // reuse: a large table is mostly this).
    void cellsOf(const QStringList& texts, std::vector<Cell>& cells) const;
    // A row's cell texts; more cells than columns is refused (380). `index` is the row's place
    // in a TableRows call, for the words of the refusal (-1 for TableRow's one row).
    QStringList cellTexts(const QString& row, qsizetype index) const;
    void requireBegunTable() const;
    float rowHeight(const std::vector<Cell>& cells) const;
    // A header row repeated on a later page is marked so: it is the first one's copy.
    enum class RowKind { Body, Header, RepeatedHeader };
    void recordRow(const std::vector<Cell>& cells, RowKind kind);
    // A row of the table's body: the header row first when it still waits for one.
    void recordBodyRow(const std::vector<Cell>& cells);
    bool hasHeaderRow() const;
    // The header row's cells, wrapped in the bold font they print in; returns the row's height.
    float headerCells(std::vector<Cell>& cells) const;
    void recordHeaderRow(const std::vector<Cell>& cells, bool repeated);
    void recordHeaderRow(bool repeated);
    // The height a page holds between its top margin and the break limit.
    float pageRoom() const;
    // The header row that waits for the first row, on a new page with it when the two do not
    // fit above the break limit together.
    void recordPendingHeaderWith(const std::vector<Cell>& firstRow);
    // A new page for the rest of the table, its header row on it when the table repeats it.
    void breakTablePage();
    // Rules of the grid for a stretch of rows from `top` to `bottom`.
    void recordRules(float top, float bottom, bool header);
    void recordRule(float rightX1, float y1, float rightX2, float y2);
    float tableWidth() const;

    ReportState& m_report;
    TextRecorder& m_text;
    GraphicsRecorder& m_graphics;
    PageRecorder& m_pages;
    float m_pageStartY = -1;      // where this recorder began the page it is on; -1: not its own
    bool m_gridTopRuled = false;  // the grid's top rule is on the table's part of this page
    bool m_headerPending = false; // the begun table's header row waits for its first row
    // What the next line recorded begins: a paragraph, a row, a table. A line may be empty and
    // record nothing, so the mark waits for one that is recorded.
    struct Starts {
        bool element = false, row = false, table = false;
    } m_starts;
};

} // namespace palvex
