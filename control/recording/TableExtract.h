#pragma once

#include "core/ItemRole.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace palvex {

class ReportStore;

// One of a report's tables as its host gave it: cell texts by column (0 is the first, the
// rightmost), without the header rows it repeated on later pages.
struct ExtractedTable {
    std::vector<QString> header; // empty when no column has a header
    std::vector<std::vector<QString>> rows;
    int columns = 0; // the widest row's; a column that is empty throughout is not seen
};

// Rebuilds the tables that LayoutRecorder recorded, from the items in the order recorded. A
// table's cells are ordinary text items told apart by their tags: a row's lines go across its
// cells, so the lines of one column within a row are one cell, joined by a blank (the item does
// not keep whether the wrap was at a blank). Page furniture, decoration and repeated header rows
// between the rows of a table leave it open; any other text or a picture ends it.
class TableExtract {
public:
    // Each row as it is complete: its table's number (0 for the report's first table), whether
    // it is the table's header row, and its cells (the visitor may take them).
    using RowVisitor = std::function<void(size_t table, bool header, std::vector<QString>& cells)>;

    TableExtract() = default;
    explicit TableExtract(RowVisitor visit) : m_visit(std::move(visit)) {}

    void add(ItemTag tag, int16_t kind, const QString& text);
    // The tables seen so far (none when a visitor took their rows); the extract starts again
    // empty.
    std::vector<ExtractedTable> take();

    // Every table of the report in the store.
    static std::vector<ExtractedTable> fromStore(const ReportStore& store);
    // The same a row at a time, so that no table is held whole.
    static void scanStore(const ReportStore& store, const RowVisitor& visit);

private:
    void closeTable();
    void closeRow();

    RowVisitor m_visit;
    std::vector<ExtractedTable> m_tables;
    size_t m_tableCount = 0;
    size_t m_rowsInTable = 0;
    bool m_tableOpen = false;
    bool m_rowOpen = false;
    bool m_rowIsHeader = false;
    std::vector<QString> m_row;
};

} // namespace palvex
