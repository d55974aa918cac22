#pragma once

#include <QString>

namespace palvex {

class ReportStore;

enum class SpreadsheetFormat { Xlsx, Csv };

// Writes the recorded report as a spreadsheet: its tables (TableBegin … TableEnd), one sheet a
// table, every row once however many pages it crossed; a report without tables as its lines of
// text, cells by where they stand. Each cell is an amount, a date or a text as its text reads.
// Like the PDF export it only reads the report, and the file replaces the target only once it
// is whole. Throws palvex::Error 75 when the file cannot be written; the previous file is then
// untouched.
void exportSpreadsheet(const ReportStore& store, const QString& path, SpreadsheetFormat format);

} // namespace palvex
