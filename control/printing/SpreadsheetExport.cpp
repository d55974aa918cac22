#include "SpreadsheetExport.h"

#include "core/CellValue.h"
#include "core/Guarded.h"
#include "platform/KeptFile.h"
#include "platform/SpreadsheetFile.h"
#include "recording/TableExtract.h"
#include "recording/TextLines.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace palvex {

namespace {

std::vector<CellValue> cellsOf(const std::vector<QString>& texts) {
    std::vector<CellValue> cells;
    cells.reserve(texts.size());
    for (const QString& text : texts)
        cells.push_back(CellValue::of(text));
    return cells;
}

// The body's cells read column by column (the header row names the columns; it is no number).
void settleColumns(std::vector<std::vector<CellValue>>& rows) {
    size_t columns = 0;
    for (const std::vector<CellValue>& row : rows)
        columns = std::max(columns, row.size());
    std::vector<CellValue*> column;
    for (size_t c = 0; c < columns; ++c) {
        column.clear();
        for (std::vector<CellValue>& row : rows)
            if (c < row.size()) column.push_back(&row[c]);
        CellValue::settleColumn(column);
    }
}

std::vector<SheetTable> sheetsOf(const ReportStore& store) {
    std::vector<SheetTable> sheets;
    std::vector<ExtractedTable> tables = TableExtract::fromStore(store);
    for (size_t i = 0; i < tables.size(); ++i) {
        SheetTable sheet{QString::fromUtf8("טבלה %1").arg(i + 1), {}, {}};
        sheet.header = cellsOf(tables[i].header);
        sheet.rows.reserve(tables[i].rows.size());
        for (std::vector<QString>& row : tables[i].rows) {
            sheet.rows.push_back(cellsOf(row));
            row = {}; // the texts go as their cells come
        }
        settleColumns(sheet.rows);
        sheets.push_back(std::move(sheet));
    }
    if (!sheets.empty()) return sheets;
    SheetTable lines{QString::fromUtf8("דוח"), {}, {}};
    for (const std::vector<QString>& row : TextLines::fromStore(store))
        lines.rows.push_back(cellsOf(row));
    settleColumns(lines.rows);
    sheets.push_back(std::move(lines));
    return sheets;
}

} // namespace

void exportSpreadsheet(const ReportStore& store, const QString& path, SpreadsheetFormat format) {
    // A folder as the target would only fail at the rename, after the whole file was made.
    if (path.isEmpty())
        refuse(Status::PathFileAccessError, QStringLiteral("no file name was given"));
    if (QFileInfo(path).isDir())
        refuse(Status::PathFileAccessError,
               QStringLiteral("\"%1\" is a folder; name the file to write").arg(path));
    const std::vector<SheetTable> sheets = sheetsOf(store);

    KeptFile file(path);
    if (!file.create())
        refuse(Status::PathFileAccessError,
               QStringLiteral("no file can be made in the folder of \"%1\"").arg(path));
    try {
        if (format == SpreadsheetFormat::Xlsx)
            writeXlsx(file.temporaryPath(), sheets);
        else
            writeCsv(file.temporaryPath(), sheets);
    } catch (Refusal& refusal) {
        // The host knows the file by the name it gave, not by the hidden one written first.
        refusal.reason.replace(file.temporaryPath(), path);
        throw;
    }
    if (!file.commit())
        refuse(Status::PathFileAccessError,
               QStringLiteral("the file \"%1\" could not be kept: the disk may be full").arg(path));
}

} // namespace palvex
