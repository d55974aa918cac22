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

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const { workbook_close(book); }
};

class XlsxWriter final : public SpreadsheetWriter {
public:
    explicit XlsxWriter(const QString& path) : m_path(path) {
        const QByteArray file = QFile::encodeName(path);
        // Rows go to disk as they are written; the library's own temporary files go beside the
        // workbook, not into a /tmp that may be memory.
        QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = folder.data();
        m_book.reset(workbook_new_opt(file.constData(), &options));
        if (!m_book) refuseWrite(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
        m_formats = std::make_unique<Formats>(m_book.get());
        if (!m_formats->bold() || !m_formats->date())
            refuseWrite(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
    }

    void beginTable(const QString& name, const std::vector<CellValue>& header) override {
        m_name = name;
        // Header cells are the columns' names, texts whatever they look like.
        m_header.clear();
        for (const CellValue& cell : header) {
            CellValue text;
            text.text = cell.text;
            m_header.push_back(text);
        }
        m_part = 0;
        openSheet();
    }

    void row(const std::vector<CellValue>& cells) override {
        if (!m_sheet) beginTable(QStringLiteral("1"), {});
        if (m_row >= LXW_ROW_MAX) openSheet(); // the table goes on on a sheet of its own
        writeRow(cells, nullptr);
    }

    void finish() override {
        if (!m_sheet) beginTable(QStringLiteral("1"), {});
        // The file is made only here: the closing's status is the write's.
        if (const lxw_error error = workbook_close(m_book.release()); error != LXW_NO_ERROR)
            refuseWrite(m_path, error);
    }

private:
    void openSheet() {
        ++m_part;
        const QString name =
            m_part == 1 ? m_name : QStringLiteral("%1 (%2)").arg(m_name).arg(m_part);
        const QByteArray sheetName = name.toUtf8();
        m_sheet = workbook_add_worksheet(m_book.get(), sheetName.constData());
        if (!m_sheet)
            refuse(Status::PathFileAccessError,
                   QStringLiteral("the spreadsheet \"%1\" could not be written: its sheet \"%2\" "
                                  "could not be made")
                       .arg(m_path, name));
        worksheet_right_to_left(m_sheet);
        m_row = 0;
        if (!m_header.empty()) {
            writeRow(m_header, m_formats->bold());
            worksheet_freeze_panes(m_sheet, 1, 0);
        }
    }

    void writeRow(const std::vector<CellValue>& cells, lxw_format* textFormat) {
        for (size_t col = 0; col < cells.size(); ++col)
            if (const lxw_error error =
                    writeCell(m_sheet, m_row, lxw_col_t(col), cells[col], *m_formats, textFormat);
                error != LXW_NO_ERROR)
                refuseWrite(m_path, error);
        ++m_row;
    }

    QString m_path;
    // Closed (and so written) when the writer goes without finishing: into a temporary file
    // that its caller then throws away.
    std::unique_ptr<lxw_workbook, WorkbookCloser> m_book;
    std::unique_ptr<Formats> m_formats; // the workbook's, freed with it
    lxw_worksheet* m_sheet = nullptr;
    lxw_row_t m_row = 0;
    QString m_name;
    std::vector<CellValue> m_header;
    int m_part = 0;
};

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

class CsvWriter final : public SpreadsheetWriter {
public:
    explicit CsvWriter(const QString& path) : m_file(path) {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) refuseHere();
        m_bytes = "\xEF\xBB\xBF";
    }

    void beginTable(const QString&, const std::vector<CellValue>& header) override {
        if (m_tables++ > 0) m_bytes += "\r\n";
        if (!header.empty()) line(header, true);
    }

    void row(const std::vector<CellValue>& cells) override {
        line(cells, false);
        if (m_bytes.size() >= (1 << 20)) flush(); // written a piece at a time, not held whole
    }

    void finish() override {
        flush();
        if (!m_file.flush()) refuseHere();
        m_file.close();
    }

private:
    void line(const std::vector<CellValue>& cells, bool asText) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) m_bytes += ',';
            m_bytes += (asText ? csvField(cells[i].text) : csvText(cells[i])).toUtf8();
        }
        m_bytes += "\r\n";
    }
    void flush() {
        if (m_file.write(m_bytes) != m_bytes.size()) refuseHere();
        m_bytes.clear();
    }
    [[noreturn]] void refuseHere() {
        refuse(Status::PathFileAccessError,
               QStringLiteral("the file \"%1\" could not be written: %2")
                   .arg(m_file.fileName(), m_file.errorString()));
    }

    QFile m_file;
    QByteArray m_bytes;
    int m_tables = 0;
};

} // namespace

std::unique_ptr<SpreadsheetWriter> SpreadsheetWriter::xlsx(const QString& path) {
    return std::make_unique<XlsxWriter>(path);
}

std::unique_ptr<SpreadsheetWriter> SpreadsheetWriter::csv(const QString& path) {
    return std::make_unique<CsvWriter>(path);
}

} // namespace palvex
