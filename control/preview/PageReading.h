#pragma once

#include "replay/ItemReplay.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace palvex {

// The text of a page as a screen reader reads it: the page's text items in the order the host
// recorded them, which is the order they are read in (right to left lines come as they were
// written, not as they stand on the paper), one line of text for each line the host wrote.
// Page furniture (headers, footers, page numbers, decoration, a table's repeated header row)
// follows the body, so the page starts with what it says and still loses nothing it shows.
class PageReading {
public:
    // A text item's part of the reading text: it starts at `start` and holds the item's drawn
    // text without the `lead` blanks before it.
    struct Piece {
        DrawnText drawn;
        qsizetype start = 0, lead = 0, length = 0;
    };

    PageReading() = default;
    // The reading of a page whose text items were drawn as `drawn` (in record order).
    static PageReading of(const std::vector<DrawnText>& drawn);

    const QString& text() const { return m_text; }
    const std::vector<Piece>& pieces() const { return m_pieces; }
    // Where characters [from, from + length) of an item's drawn text stand in the reading
    // text, as [start, end); nothing when the page does not read that item.
    std::optional<std::pair<qsizetype, qsizetype>> rangeOf(int32_t item, qsizetype from,
                                                           qsizetype length) const;
    // The piece that holds the character at `offset`, or the one a line's break follows.
    const Piece* pieceAt(qsizetype offset) const;

private:
    void append(const std::vector<const DrawnText*>& lineItems);

    QString m_text;
    std::vector<Piece> m_pieces;
};

} // namespace palvex
