#include "TextLines.h"

#include "PrintItem.h"
#include "ReportStore.h"

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {

// Texts whose heights differ by no more than this stand on one line (twips: a point and a half,
// well under any line's height, above a rounding of the host's CurrentY).
constexpr float SameLine = 30;
// Places across the page no further apart than this are one column (twips: about 2 mm).
constexpr float SameColumn = 120;

bool isText(int16_t kind) {
    return kind == KindText || kind == KindTextNewLine || kind == KindSpecialCenter ||
           kind == KindSpecialCenterNewLine;
}

} // namespace

void TextLines::add(ItemTag tag, int16_t kind, int16_t page, float y, float x, int16_t align,
                    const QString& text) {
    if (!isText(kind) || !std::isfinite(x) || !std::isfinite(y)) return;
    if (tag.role == ItemRole::PageHeader) {
        if (m_firstHeaderPage < 0) m_firstHeaderPage = page;
        if (page != m_firstHeaderPage) return;
    } else if (tag.isArtifact()) {
        return;
    }
    const QString trimmed = text.trimmed(); // the record pads its text field with blanks
    if (trimmed.isEmpty()) return;
    // A text put against the right margin or centred starts its line's first column; one put
    // against the left margin stands in the last. Others stand where the host put them.
    float anchor = x;
    if (align == AlignRight || align == AlignCenter || kind == KindSpecialCenter ||
        kind == KindSpecialCenterNewLine)
        anchor = -1;
    else if (align == AlignLeft)
        anchor = 1e9f;
    m_texts.push_back({page, y, anchor, m_texts.size(), trimmed});
}

std::vector<std::vector<QString>> TextLines::rows() const {
    // The columns: every place a text stands, those close together taken as one.
    std::vector<float> anchors;
    anchors.reserve(m_texts.size());
    for (const Placed& placed : m_texts)
        anchors.push_back(placed.anchor);
    std::sort(anchors.begin(), anchors.end());
    std::vector<float> columnStarts;
    for (size_t i = 0; i < anchors.size(); ++i)
        if (i == 0 || anchors[i] - anchors[i - 1] > SameColumn) columnStarts.push_back(anchors[i]);
    const auto columnOf = [&](float anchor) {
        return size_t(std::upper_bound(columnStarts.begin(), columnStarts.end(), anchor) -
                      columnStarts.begin() - 1);
    };

    std::vector<const Placed*> byLine;
    byLine.reserve(m_texts.size());
    for (const Placed& placed : m_texts)
        byLine.push_back(&placed);
    std::sort(byLine.begin(), byLine.end(), [](const Placed* a, const Placed* b) {
        if (a->page != b->page) return a->page < b->page;
        if (a->y != b->y) return a->y < b->y;
        return a->order < b->order;
    });

    std::vector<std::vector<QString>> rows;
    int16_t page = -1;
    float lineY = 0;
    for (const Placed* placed : byLine) {
        if (rows.empty() || placed->page != page || placed->y - lineY > SameLine) {
            rows.emplace_back();
            page = placed->page;
            lineY = placed->y;
        }
        std::vector<QString>& row = rows.back();
        const size_t column = columnOf(placed->anchor);
        if (row.size() <= column) row.resize(column + 1);
        if (!row[column].isEmpty()) row[column] += QLatin1Char(' ');
        row[column] += placed->text;
    }
    return rows;
}

std::vector<std::vector<QString>> TextLines::fromStore(const ReportStore& store) {
    TextLines lines;
    if (store.itemCount() > 0)
        store.scan(1, store.itemCount(), [&](int32_t, const StoredItem& stored) {
            const PrintItem item = stored.decode(store.codePage());
            if (item.FooterFlag != FooterItem)
                lines.add(ItemTag::decode(item.Reserved), item.ItemKind, item.PageNumber,
                          item.ItemY, item.ItemX, item.HAlign, item.ItemText);
            return true;
        });
    return lines.rows();
}

} // namespace palvex
