#include "TableExtract.h"

#include "PrintItem.h"
#include "ReportStore.h"

#include <algorithm>

namespace palvex {

namespace {

bool isText(int16_t kind) {
    return kind == KindText || kind == KindTextNewLine;
}

} // namespace

void TableExtract::closeRow() {
    if (!m_rowOpen) return;
    m_rowOpen = false;
    // Only a table's first row can be its header row.
    const bool header = m_rowIsHeader && m_rowsInTable == 0;
    ++m_rowsInTable;
    if (m_visit) {
        m_visit(m_tableCount - 1, header, m_row);
    } else {
        ExtractedTable& table = m_tables.back();
        table.columns = std::max(table.columns, int(m_row.size()));
        if (header)
            table.header = std::move(m_row);
        else
            table.rows.push_back(std::move(m_row));
    }
    m_row.clear();
}

void TableExtract::closeTable() {
    closeRow();
    m_tableOpen = false;
}

void TableExtract::add(ItemTag tag, int16_t kind, const QString& text) {
    const bool cell = tag.role == ItemRole::TableCell || tag.role == ItemRole::TableHeaderCell;
    if (!cell || tag.repeatedHeader) {
        // Between the rows of a table that goes on on the next page: the footer, the headers,
        // rules, the header row again. Graphics of no role are decoration too.
        const bool content = (isText(kind) || kind == KindPicture) && !tag.isArtifact();
        if (content && !tag.repeatedHeader) closeTable();
        return;
    }
    if (tag.startsTable || !m_tableOpen) {
        closeTable();
        if (!m_visit) m_tables.emplace_back();
        ++m_tableCount;
        m_rowsInTable = 0;
        m_tableOpen = true;
    }
    if (tag.startsRow || !m_rowOpen) {
        closeRow();
        m_rowOpen = true;
        m_rowIsHeader = tag.role == ItemRole::TableHeaderCell;
    }
    const QString line = text.trimmed(); // the record pads its text field with blanks
    if (line.isEmpty()) return;
    const size_t column = tag.column;
    if (m_row.size() <= column) m_row.resize(column + 1);
    QString& cellText = m_row[column];
    if (!cellText.isEmpty()) cellText += QLatin1Char(' ');
    cellText += line;
}

std::vector<ExtractedTable> TableExtract::take() {
    closeTable();
    std::vector<ExtractedTable> tables = std::move(m_tables);
    m_tables.clear();
    m_tableCount = 0;
    return tables;
}

namespace {

void readStore(const ReportStore& store, TableExtract& extract) {
    if (store.itemCount() > 0)
        store.scan(1, store.itemCount(), [&](int32_t, const StoredItem& stored) {
            const PrintItem item = stored.decode(store.codePage());
            extract.add(ItemTag::decode(item.Reserved), item.ItemKind, item.ItemText);
            return true;
        });
}

} // namespace

std::vector<ExtractedTable> TableExtract::fromStore(const ReportStore& store) {
    TableExtract extract;
    readStore(store, extract);
    return extract.take();
}

void TableExtract::scanStore(const ReportStore& store, const RowVisitor& visit) {
    TableExtract extract(visit);
    readStore(store, extract);
    extract.take(); // the last row
}

} // namespace palvex
