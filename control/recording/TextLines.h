#pragma once

#include "core/ItemRole.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace palvex {

class ReportStore;

// A report printed line by line rather than through tables, read back as rows of cells: one row
// for each line of text on a page (the texts that stand at one height), and its texts put in
// columns by where they stand across the page, the same place in every line being the same
// column. Column 0 is the rightmost, as a right-to-left sheet shows it.
//
// The page's header is read from the first page only (the titles a host repeats on every page
// are one row, not one a page); footers, page numbers and graphics are left out.
class TextLines {
public:
    // An item as recorded: its tag and kind, its page, its height on the page, and its place
    // across it (ItemX, measured from the right) with its alignment.
    void add(ItemTag tag, int16_t kind, int16_t page, float y, float x, int16_t align,
             const QString& text);
    std::vector<std::vector<QString>> rows() const;

    static std::vector<std::vector<QString>> fromStore(const ReportStore& store);

private:
    struct Placed {
        int16_t page;
        float y;
        float anchor; // where its column is: smaller is further right
        size_t order; // as recorded, for texts that share a place
        QString text;
    };
    std::vector<Placed> m_texts;
    int16_t m_firstHeaderPage = -1;
};

} // namespace palvex
