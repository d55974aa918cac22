#pragma once

#include "core/CellValue.h"

#include <QString>

#include <vector>

namespace palvex {

// A table as a worksheet takes it: its header row (empty for none) and its rows of cells, each
// cell already read as amount, date or text.
struct SheetTable {
    std::vector<CellValue> header;
    std::vector<std::vector<CellValue>> rows;
};

// Writes tables into an .xlsx workbook at `path`, one right-to-left worksheet a table ("טבלה 1",
// "טבלה 2" ...), the header row bold and frozen above the rows, amounts as numbers in their
// number format, dates as dates (dd/mm/yyyy), texts as texts. A workbook without tables has one
// empty sheet. Refuses with PathFileAccessError (75) and the library's reason when any cell or
// the file itself cannot be written.
void writeXlsx(const QString& path, const std::vector<SheetTable>& tables);

} // namespace palvex
