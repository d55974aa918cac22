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
    ExtractedTable& table = m_tables.back();
    table.columns = std::max(table.columns, int(m_row.size()));
    if (m_rowIsHeader && table.header.empty() && table.rows.empty())
        table.header = std::move(m_row);
    else
        table.rows.push_back(std::move(m_row));
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
        m_tables.emplace_back();
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
    return tables;
}

std::vector<ExtractedTable> TableExtract::fromStore(const ReportStore& store) {
    TableExtract extract;
    if (store.itemCount() > 0)
        store.scan(1, store.itemCount(), [&](int32_t, const StoredItem& stored) {
            const PrintItem item = stored.decode(store.codePage());
            extract.add(ItemTag::decode(item.Reserved), item.ItemKind, item.ItemText);
            return true;
        });
    return extract.take();
}

} // namespace palvex
