#pragma once

#include "core/CellValue.h"

#include <QString>

#include <memory>
#include <vector>

namespace palvex {

// A spreadsheet written a row at a time, so a table of a million rows takes no more memory
// than one of ten. Any write that fails refuses with PathFileAccessError (75) and the reason.
class SpreadsheetWriter {
public:
    virtual ~SpreadsheetWriter() = default;
    // A table begins: its sheet's name and its header row (empty for none).
    virtual void beginTable(const QString& name, const std::vector<CellValue>& header) = 0;
    virtual void row(const std::vector<CellValue>& cells) = 0;
    // Writes what is left and closes the file.
    virtual void finish() = 0;

    // An .xlsx workbook: one right-to-left worksheet a table, named as the table is, the header
    // row bold and frozen above the rows, amounts as numbers in their number format, dates as
    // dates (dd/mm/yyyy), texts as texts. A table longer than a sheet goes on in sheets of its
    // own ("NAME (2)" ...), each with the header row. A workbook without tables has one empty
    // sheet.
    static std::unique_ptr<SpreadsheetWriter> xlsx(const QString& path);
    // A CSV file for another program to read: UTF-8 with its byte-order mark (without it
    // spreadsheets take the file in the system's legacy code page), the tables one after
    // another with an empty line between, each header row first; amounts as plain numbers with
    // the decimals the report showed ("-1234.50": a grouping comma or a trailing minus would
    // make them text to a reader), dates as ISO dates, texts quoted when they must be.
    static std::unique_ptr<SpreadsheetWriter> csv(const QString& path);
};

} // namespace palvex
