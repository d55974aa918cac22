#pragma once

#include <cstdint>

namespace palvex {

// What a recorded item is to someone who reads the report rather than looks at it: a screen
// reader, a tagged PDF, a search. Kept in each record's reserved 16-bit field, so a record
// written before roles were kept reads as Unmarked, and older readers, which never looked at
// the field, read new records unchanged.
enum class ItemRole : uint8_t {
    Unmarked = 0, // a record without a role: text reads as body text, graphics as decoration
    Body = 1,     // a text the host printed itself
    Heading = 2,  // a title; ItemTag::headingLevel says which
    Paragraph = 3, // a line of a paragraph laid out by the control
    TableHeaderCell = 4,
    TableCell = 5,
    Picture = 6,
    PageHeader = 7, // page furniture from here on: artefacts, not content
    PageFooter = 8,
    PageNumber = 9,
    Decoration = 10, // lines, boxes, circles, character runs, rules between table rows
};

// An item's role and where it stands in the report's structure. The flags say that the item
// begins something new: a paragraph or a heading (startsElement), a table (startsTable), a row
// of it (startsRow). A table records a row line by line across its cells, so a cell's lines are
// not next to one another: each cell item names its column (0 is the first, the rightmost), and
// the lines of one column within a row make one cell. An item without flags continues what the
// item before it began.
struct ItemTag {
    ItemRole role = ItemRole::Unmarked;
    uint8_t headingLevel = 0; // 1-6 for a heading, else 0
    bool startsElement = false;
    bool startsRow = false;
    bool startsTable = false;
    bool repeatedHeader = false; // a header row a table repeats on a later page
    uint8_t column = 0;          // a table cell's column, 0-31 (wider tables share the last)

    // The reserved field's layout: bits 0-3 the role, 4-6 the heading level, 7 startsElement,
    // 8 startsRow, 9 startsTable, 10 repeatedHeader, 11-15 the column.
    int16_t encode() const {
        unsigned bits = unsigned(role) & 0xFu;
        bits |= (unsigned(headingLevel) & 0x7u) << 4;
        bits |= (startsElement ? 1u : 0u) << 7;
        bits |= (startsRow ? 1u : 0u) << 8;
        bits |= (startsTable ? 1u : 0u) << 9;
        bits |= (repeatedHeader ? 1u : 0u) << 10;
        bits |= (unsigned(column < 31 ? column : 31) & 0x1Fu) << 11;
        return int16_t(uint16_t(bits));
    }
    static ItemTag decode(int16_t field) {
        const unsigned bits = uint16_t(field);
        ItemTag tag;
        const unsigned role = bits & 0xFu;
        tag.role = role <= unsigned(ItemRole::Decoration) ? ItemRole(role) : ItemRole::Unmarked;
        tag.headingLevel = uint8_t((bits >> 4) & 0x7u);
        if (tag.headingLevel > 6) tag.headingLevel = 6;
        tag.startsElement = (bits >> 7) & 1u;
        tag.startsRow = (bits >> 8) & 1u;
        tag.startsTable = (bits >> 9) & 1u;
        tag.repeatedHeader = (bits >> 10) & 1u;
        tag.column = uint8_t((bits >> 11) & 0x1Fu);
        return tag;
    }
    // Page furniture and decoration: drawn, but not part of what the report says.
    bool isArtifact() const {
        return repeatedHeader || role == ItemRole::PageHeader || role == ItemRole::PageFooter ||
               role == ItemRole::PageNumber || role == ItemRole::Decoration;
    }
    bool operator==(const ItemTag&) const = default;
};

} // namespace palvex
