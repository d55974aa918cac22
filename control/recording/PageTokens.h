#pragma once

#include <QString>

#include <cstdint>

namespace palvex {

// "{page}" and "{pages}" in a text: the number printed on its page, known when the text is
// recorded, and the report's page count, known only when the report ends, so filled in when the
// text is drawn, printed, searched or saved.
inline QString withPageNumber(QString text, int32_t page) {
    if (text.contains(u'{')) text.replace(QStringLiteral("{page}"), QString::number(page));
    return text;
}

inline QString withPageCount(QString text, int32_t pages) {
    if (pages > 0 && text.contains(u'{'))
        text.replace(QStringLiteral("{pages}"), QString::number(pages));
    return text;
}

} // namespace palvex
