#include "PageReading.h"

#include "core/ItemRole.h"

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {

qsizetype leadingBlanks(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text[n] == QLatin1Char(' '))
        ++n;
    return n;
}

} // namespace

PageReading PageReading::of(const std::vector<DrawnText>& drawn) {
    std::vector<const DrawnText*> body, furniture;
    for (const DrawnText& d : drawn)
        (d.tag.isArtifact() ? furniture : body).push_back(&d);
    PageReading reading;
    reading.append(body);
    reading.append(furniture);
    return reading;
}

// Items drawn at the same height are one line the host wrote in several calls; a text written
// a character at a time joins up without blanks between its characters, except where one of
// them was a blank.
void PageReading::append(const std::vector<const DrawnText*>& items) {
    const DrawnText* previous = nullptr;
    qsizetype previousLength = 0;
    bool blankBetween = false;
    for (const DrawnText* d : items) {
        const qsizetype lead = leadingBlanks(d->text);
        const QString shown = d->text.mid(lead).trimmed();
        if (shown.isEmpty()) { // a blank says nothing but may part two characters
            blankBetween = true;
            continue;
        }
        if (previous) {
            const bool sameLine = std::abs(previous->y - d->y) < 1.0f;
            if (!sameLine)
                m_text += QLatin1Char('\n');
            else if (blankBetween || !(previousLength == 1 && shown.size() == 1))
                m_text += QLatin1Char(' ');
        } else if (!m_text.isEmpty()) {
            m_text += QLatin1Char('\n'); // the furniture after the body
        }
        m_pieces.push_back({*d, m_text.size(), lead, shown.size()});
        m_text += shown;
        previous = d;
        previousLength = shown.size();
        blankBetween = false;
    }
}

std::optional<std::pair<qsizetype, qsizetype>> PageReading::rangeOf(int32_t item, qsizetype from,
                                                                    qsizetype length) const {
    for (const Piece& p : m_pieces) {
        if (p.drawn.item != item) continue;
        const auto at = [&p](qsizetype k) {
            return p.start + std::clamp(k - p.lead, qsizetype(0), p.length);
        };
        return std::pair{at(from), at(from + length)};
    }
    return std::nullopt;
}

const PageReading::Piece* PageReading::pieceAt(qsizetype offset) const {
    const Piece* found = nullptr;
    for (const Piece& p : m_pieces)
        if (p.start <= offset) found = &p;
    return found;
}

} // namespace palvex
