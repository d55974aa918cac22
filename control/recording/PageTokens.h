#pragma once

#include <QString>

#include <cstdint>

namespace palvex {

// "{page}" and "{pages}" in a text: the number printed on its page, known when the text is
// recorded, and the report's page count, known only when the report ends, so filled in when the
// text is drawn, printed, searched or saved. "{{" and "}}" stand for a brace of their own, so
// that "{{page}}" prints "{page}"; they stay doubled until the text is shown, so that no later
// filling-in mistakes what they enclose for a token.

namespace tokens {

enum class Braces { KeepDoubled, MakeSingle };

// `page` and `pages` below 0 are left as tokens.
inline QString filledIn(const QString& text, int32_t page, int32_t pages, Braces braces) {
    if (!text.contains(u'{') && !text.contains(u'}')) return text;
    static const QString PageToken = QStringLiteral("{page}"),
                         PagesToken = QStringLiteral("{pages}");
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if ((c == u'{' || c == u'}') && i + 1 < n && text[i + 1] == c) {
            out += c;
            if (braces == Braces::KeepDoubled) out += c;
            i += 2;
        } else if (pages >= 0 && QStringView(text).sliced(i).startsWith(PagesToken)) {
            out += QString::number(pages);
            i += PagesToken.size();
        } else if (page >= 0 && QStringView(text).sliced(i).startsWith(PageToken)) {
            out += QString::number(page);
            i += PageToken.size();
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace tokens

// When the text is recorded: its page number in, everything else as it was.
inline QString withPageNumber(const QString& text, int32_t page) {
    return tokens::filledIn(text, page, -1, tokens::Braces::KeepDoubled);
}

// When the text is shown (drawn, printed, exported, searched): the page count in (once the
// report has one), and doubled braces single.
inline QString withPageCount(const QString& text, int32_t pages) {
    return tokens::filledIn(text, -1, pages > 0 ? pages : -1, tokens::Braces::MakeSingle);
}

// When the text is saved to a printout, which a later report reads back: the page count in, and
// doubled braces still doubled, so that they stay text there too.
inline QString withPageCountKept(const QString& text, int32_t pages) {
    return tokens::filledIn(text, -1, pages > 0 ? pages : -1, tokens::Braces::KeepDoubled);
}

} // namespace palvex
