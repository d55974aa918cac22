#include "SpreadsheetFile.h"

#include "core/Guarded.h"

#include <QFile>
#include <QHash>

#include <xlsxwriter.h>

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

void writeSheet(lxw_workbook* book, const QString& path, int number, const SheetTable& table,
                Formats& formats) {
    const QByteArray name = QString::fromUtf8("טבלה %1").arg(number).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.constData());
    if (!sheet) refuseWrite(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
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
    for (const std::vector<CellValue>& cells : table.rows)
        writeRow(cells, nullptr);
}

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const { workbook_close(book); }
};

} // namespace

void writeXlsx(const QString& path, const std::vector<SheetTable>& tables) {
    const QByteArray file = QFile::encodeName(path);
    std::unique_ptr<lxw_workbook, WorkbookCloser> book(workbook_new(file.constData()));
    if (!book) refuseWrite(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
    Formats formats(book.get());
    if (!formats.bold() || !formats.date()) refuseWrite(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
    if (tables.empty()) writeSheet(book.get(), path, 1, SheetTable{}, formats);
    for (size_t i = 0; i < tables.size(); ++i)
        writeSheet(book.get(), path, int(i + 1), tables[i], formats);
    // The file is made only here: the closing's status is the write's.
    if (const lxw_error error = workbook_close(book.release()); error != LXW_NO_ERROR)
        refuseWrite(path, error);
}

} // namespace palvex
