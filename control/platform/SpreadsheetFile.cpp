#include "SpreadsheetFile.h"

#include "core/Guarded.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace palvex {

namespace {

// The workbook's formats, one for each number format the cells use: the library keeps them.
class Formats {
public:
    explicit Formats(lxw_workbook* book) : m_book(book) {
        m_bold = workbook_add_format(book);
        if (m_bold) format_set_bold(m_bold);
        m_date = workbook_add_format(book);
        if (m_date) format_set_num_format(m_date, "dd/mm/yyyy");
    }
    lxw_format* bold() const { return m_bold; }
    lxw_format* date() const { return m_date; }
    lxw_format* amount(const QString& numberFormat) {
        auto it = m_amounts.constFind(numberFormat);
        if (it != m_amounts.cend()) return *it;
        lxw_format* format = workbook_add_format(m_book);
        if (format) format_set_num_format(format, numberFormat.toUtf8().constData());
        m_amounts.insert(numberFormat, format);
        return format;
    }

private:
    lxw_workbook* m_book;
    lxw_format* m_bold = nullptr;
    lxw_format* m_date = nullptr;
    QHash<QString, lxw_format*> m_amounts;
};

[[noreturn]] void refuseWrite(const QString& path, lxw_error error) {
    refuse(Status::PathFileAccessError,
           QStringLiteral("the spreadsheet \"%1\" could not be written: %2")
               .arg(path, QString::fromUtf8(lxw_strerror(error))));
}

lxw_error writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const CellValue& cell,
                    Formats& formats, lxw_format* textFormat) {
    switch (cell.kind) {
    case CellValue::Kind::Amount:
        return worksheet_write_number(sheet, row, col, cell.amount,
                                      formats.amount(cell.numberFormat));
    case CellValue::Kind::Date: {
        lxw_datetime date{cell.year, cell.month, cell.day, 0, 0, 0};
        return worksheet_write_datetime(sheet, row, col, &date, formats.date());
    }
    case CellValue::Kind::Text:
        break;
    }
    // An empty cell is left out rather than written as an empty text.
    if (cell.text.isEmpty()) return LXW_NO_ERROR;
    return worksheet_write_string(sheet, row, col, cell.text.toUtf8().constData(), textFormat);
}

// Up to `count` rows of the table from `first`, the header row above them, on a sheet of their
// own.
void writeSheet(lxw_workbook* book, const QString& path, const QString& name,
                const SheetTable& table, size_t first, size_t count, Formats& formats) {
    const QByteArray sheetName = name.toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.constData());
    if (!sheet)
        refuse(Status::PathFileAccessError,
               QStringLiteral("the spreadsheet \"%1\" could not be written: its sheet \"%2\" "
                              "could not be made")
                   .arg(path, name));
    worksheet_right_to_left(sheet);
    lxw_row_t row = 0;
    const auto writeRow = [&](const std::vector<CellValue>& cells, lxw_format* textFormat) {
        for (size_t col = 0; col < cells.size(); ++col)
            if (const lxw_error error =
                    writeCell(sheet, row, lxw_col_t(col), cells[col], formats, textFormat);
                error != LXW_NO_ERROR)
                refuseWrite(path, error);
        ++row;
    };
    if (!table.header.empty()) {
        // Header cells are the columns' names, texts whatever they look like.
        std::vector<CellValue> names;
        for (const CellValue& cell : table.header) {
            CellValue name;
            name.text = cell.text;
            names.push_back(name);
        }
        writeRow(names, formats.bold());
        worksheet_freeze_panes(sheet, 1, 0);
    }
    for (size_t i = first; i < first + count; ++i)
        writeRow(table.rows[i], nullptr);
}

// The table on as many sheets as its rows need.
void writeTable(lxw_workbook* book, const QString& path, const SheetTable& table,
                Formats& formats) {
    const size_t perSheet = LXW_ROW_MAX - (table.header.empty() ? 0 : 1);
    size_t first = 0;
    int part = 1;
    do {
        const size_t count = std::min(perSheet, table.rows.size() - first);
        const QString name =
            part == 1 ? table.name : QStringLiteral("%1 (%2)").arg(table.name).arg(part);
        writeSheet(book, path, name, table, first, count, formats);
        first += count;
        ++part;
    } while (first < table.rows.size());
}

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const { workbook_close(book); }
};

} // namespace

void writeXlsx(const QString& path, const std::vector<SheetTable>& tables) {
    const QByteArray file = QFile::encodeName(path);
    // Rows go to disk as they are written, so a table of a million rows takes no more memory
    // than one of ten; the library's own temporary files go beside the workbook, not into a
    // /tmp that may be memory.
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    std::unique_ptr<lxw_workbook, WorkbookCloser> book(
        workbook_new_opt(file.constData(), &options));
    if (!book) refuseWrite(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
    Formats formats(book.get());
    if (!formats.bold() || !formats.date()) refuseWrite(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
    if (tables.empty())
        writeTable(book.get(), path, SheetTable{QStringLiteral("1"), {}, {}}, formats);
    for (const SheetTable& table : tables)
        writeTable(book.get(), path, table, formats);
    // The file is made only here: the closing's status is the write's.
    if (const lxw_error error = workbook_close(book.release()); error != LXW_NO_ERROR)
        refuseWrite(path, error);
}

namespace {

// A CSV field: quoted when it holds the separator, a quote or a line break, quotes doubled.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The number of decimals an amount's number format shows ("#,##0.00" has two).
int decimalsOf(const QString& numberFormat) {
    const qsizetype point = numberFormat.indexOf(QLatin1Char('.'));
    if (point < 0) return 0;
    int decimals = 0;
    for (qsizetype i = point + 1; i < numberFormat.size() && numberFormat[i] == QLatin1Char('0');
         ++i)
        ++decimals;
    return decimals;
}

QString csvText(const CellValue& cell) {
    switch (cell.kind) {
    case CellValue::Kind::Amount:
        return QString::number(cell.amount, 'f', decimalsOf(cell.numberFormat));
    case CellValue::Kind::Date:
        return QStringLiteral("%1-%2-%3")
            .arg(cell.year, 4, 10, QLatin1Char('0'))
            .arg(cell.month, 2, 10, QLatin1Char('0'))
            .arg(cell.day, 2, 10, QLatin1Char('0'));
    case CellValue::Kind::Text:
        break;
    }
    return csvField(cell.text);
}

} // namespace

void writeCsv(const QString& path, const std::vector<SheetTable>& tables) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        refuse(Status::PathFileAccessError,
               QStringLiteral("the file \"%1\" could not be written: %2")
                   .arg(path, file.errorString()));
    QByteArray bytes("\xEF\xBB\xBF");
    bool written = true;
    const auto line = [&](const std::vector<CellValue>& cells, bool asText) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) bytes += ',';
            bytes += (asText ? csvField(cells[i].text) : csvText(cells[i])).toUtf8();
        }
        bytes += "\r\n";
    };
    for (size_t t = 0; written && t < tables.size(); ++t) {
        if (t > 0) bytes += "\r\n";
        if (!tables[t].header.empty()) line(tables[t].header, true);
        for (const std::vector<CellValue>& row : tables[t].rows) {
            line(row, false);
            if (bytes.size() >= (1 << 20)) { // written a piece at a time, not held whole
                written = file.write(bytes) == bytes.size();
                if (!written) break;
                bytes.clear();
            }
        }
    }
    if (!written || file.write(bytes) != bytes.size() || !file.flush())
        refuse(Status::PathFileAccessError,
               QStringLiteral("the file \"%1\" could not be written: %2")
                   .arg(path, file.errorString()));
}

} // namespace palvex
