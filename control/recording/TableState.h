#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace palvex {

// How the text of a paragraph or a table cell sits in its box.
enum class BoxAlignment : int32_t { Right = 1, Centre = 2, Left = 3, Justified = 4 };

// One column of a table, the next one to the left of those before it.
struct TableColumn {
    float width = 0;
    BoxAlignment alignment = BoxAlignment::Right;
    QString header;
};

// A table being recorded: its columns, where its right edge is and whether its header row comes
// again on every page.
struct TableState {
    std::vector<TableColumn> columns;
    bool begun = false;
    bool repeatHeader = true;
    float right = 0; // the table's right edge, from the page's right edge
};

} // namespace palvex
