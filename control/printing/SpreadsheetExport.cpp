#include "SpreadsheetExport.h"

#include "core/CellValue.h"
#include "core/Guarded.h"
#include "platform/KeptFile.h"
#include "platform/SpreadsheetFile.h"
#include "recording/TableExtract.h"
#include "recording/TextLines.h"

#include <QFileInfo>

#include <memory>
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

// What the first reading of a table keeps for the second: its name, its header row, and how
// each of its columns reads (the header row names the columns; it is no number).
struct TableReading {
    QString name;
    std::vector<CellValue> header;
    std::vector<ColumnReading> columns;

    void see(const std::vector<CellValue>& cells) {
        if (columns.size() < cells.size()) columns.resize(cells.size());
        for (size_t c = 0; c < cells.size(); ++c)
            columns[c].see(cells[c]);
    }
    void settle(std::vector<CellValue>& cells) const {
        for (size_t c = 0; c < cells.size() && c < columns.size(); ++c)
            columns[c].settle(cells[c]);
    }
};

// The report's tables, read twice a row at a time: first how each column reads, then each row
// as its columns read, so a long table is never held whole. False when the report has none.
bool writeTables(const ReportStore& store, SpreadsheetWriter& out) {
    std::vector<TableReading> tables;
    TableExtract::scanStore(store, [&](size_t table, bool header, std::vector<QString>& texts) {
        if (table >= tables.size()) {
            tables.resize(table + 1);
            tables[table].name = QString::fromUtf8("טבלה %1").arg(table + 1);
        }
        if (header)
            tables[table].header = cellsOf(texts);
        else
            tables[table].see(cellsOf(texts));
    });
    if (tables.empty()) return false;
    size_t current = tables.size();
    TableExtract::scanStore(store, [&](size_t table, bool header, std::vector<QString>& texts) {
        const TableReading& reading = tables.at(table);
        if (table != current) {
            out.beginTable(reading.name, reading.header);
            current = table;
        }
        if (header) return;
        std::vector<CellValue> cells = cellsOf(texts);
        reading.settle(cells);
        out.row(cells);
    });
    return true;
}

// A report without tables: its lines of text, which are put in order across the whole report
// and so are held.
void writeLines(const ReportStore& store, SpreadsheetWriter& out) {
    TableReading lines{QString::fromUtf8("דוח"), {}, {}};
    std::vector<std::vector<CellValue>> rows;
    for (const std::vector<QString>& texts : TextLines::fromStore(store)) {
        rows.push_back(cellsOf(texts));
        lines.see(rows.back());
    }
    out.beginTable(lines.name, {});
    for (std::vector<CellValue>& cells : rows) {
        lines.settle(cells);
        out.row(cells);
    }
}

} // namespace

void exportSpreadsheet(const ReportStore& store, const QString& path, SpreadsheetFormat format) {
    // A folder as the target would only fail at the rename, after the whole file was made.
    if (path.isEmpty())
        refuse(Status::PathFileAccessError, QStringLiteral("no file name was given"));
    if (QFileInfo(path).isDir())
        refuse(Status::PathFileAccessError,
               QStringLiteral("\"%1\" is a folder; name the file to write").arg(path));
    KeptFile file(path);
    if (!file.create())
        refuse(Status::PathFileAccessError,
               QStringLiteral("no file can be made in the folder of \"%1\"").arg(path));
    try {
        const std::unique_ptr<SpreadsheetWriter> out =
            format == SpreadsheetFormat::Xlsx ? SpreadsheetWriter::xlsx(file.temporaryPath())
                                              : SpreadsheetWriter::csv(file.temporaryPath());
        if (!writeTables(store, *out)) writeLines(store, *out);
        out->finish();
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
