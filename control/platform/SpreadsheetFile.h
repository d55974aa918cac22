#pragma once

#include "core/CellValue.h"

#include <QString>

#include <vector>

namespace palvex {

// A table as a worksheet takes it: its sheet's name, its header row (empty for none) and its
// rows of cells, each cell already read as amount, date or text.
struct SheetTable {
    QString name;
    std::vector<CellValue> header;
    std::vector<std::vector<CellValue>> rows;
};

// Writes tables into an .xlsx workbook at `path`, one right-to-left worksheet a table, named as
// the table is, the header row bold and frozen above the rows, amounts as numbers in their
// number format, dates as dates (dd/mm/yyyy), texts as texts. A table longer than a sheet goes
// on in sheets of its own ("NAME (2)" ...), each with the header row. A workbook without tables
// has one empty sheet. Refuses with PathFileAccessError (75) and the library's reason when any
// cell or the file itself cannot be written.
void writeXlsx(const QString& path, const std::vector<SheetTable>& tables);

// Writes tables into a CSV file at `path` for another program to read: UTF-8 with its byte-order
// mark (without it spreadsheets take the file in the system's legacy code page), the tables one
// after another with an empty line between, each header row first; amounts as plain numbers
// with the decimals the report showed ("-1234.50": a grouping comma or a trailing minus would
// make them text to a reader), dates as ISO dates, texts quoted when they must be. Refuses with
// PathFileAccessError (75) when the file cannot be written.
void writeCsv(const QString& path, const std::vector<SheetTable>& tables);

} // namespace palvex
