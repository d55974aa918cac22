#pragma once

#include "core/ItemRole.h"

#include <QString>

#include <cstdint>
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
    void add(ItemTag tag, int16_t kind, const QString& text);
    // The tables seen so far; the extract starts again empty.
    std::vector<ExtractedTable> take();

    // Every table of the report in the store.
    static std::vector<ExtractedTable> fromStore(const ReportStore& store);

private:
    void closeTable();
    void closeRow();

    std::vector<ExtractedTable> m_tables;
    bool m_tableOpen = false;
    bool m_rowOpen = false;
    bool m_rowIsHeader = false;
    std::vector<QString> m_row;
};

} // namespace palvex
