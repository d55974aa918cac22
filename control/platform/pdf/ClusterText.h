#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace palvex::pdf {

// What the glyphs of one cluster copy back as. A glyph that is a character's own glyph (a point
// drawn apart from its letter) copies as that character; the characters left over (a ligature's,
// or a letter and the point a precomposed glyph holds) go to the first glyph that is no one
// character's own, in the order they were typed, or to the first glyph when every glyph is one
// character's own. So every character copies back, each once, and no glyph copies as nothing
// while a character is left. `glyphAt(k)` is the cluster's k-th glyph, `nominal(codePoint)` the
// font's own glyph for a character; `assign(k, text)` receives each glyph's text, which may be
// valid only during the call.
template <class GlyphAt, class Nominal, class Assign>
void assignCluster(int glyphs, QStringView characters, GlyphAt&& glyphAt, Nominal&& nominal,
                   Assign&& assign) {
    if (glyphs == 1 || characters.isEmpty()) {
        for (int k = 0; k < glyphs; ++k)
            assign(k, k == 0 ? characters : QStringView());
        return;
    }
    struct Character {
        qsizetype at, length;
        bool taken = false;
    };
    std::vector<Character> chars;
    for (qsizetype i = 0; i < characters.size();) {
        const qsizetype length =
            characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        chars.push_back({i, length});
        i += length;
    }
    auto codePoint = [&](const Character& c) {
        return c.length == 2 ? QChar::surrogateToUcs4(characters[c.at], characters[c.at + 1])
                             : char32_t(characters[c.at].unicode());
    };
    std::vector<int> own(size_t(glyphs), -1); // the character a glyph is the own glyph of
    for (int k = 0; k < glyphs; ++k)
        for (size_t j = 0; j < chars.size(); ++j)
            if (!chars[j].taken && nominal(codePoint(chars[j])) == glyphAt(k)) {
                chars[j].taken = true;
                own[size_t(k)] = int(j);
                break;
            }
    QString leftOver;
    for (const Character& c : chars)
        if (!c.taken) leftOver.append(characters.mid(c.at, c.length));
    int heir = 0;
    while (heir < glyphs && own[size_t(heir)] >= 0)
        ++heir;
    QString heirText;
    if (heir == glyphs) { // every glyph has its character: the rest go with the first
        heir = 0;
        const Character& first = chars[size_t(own[0])];
        heirText = characters.mid(first.at, first.length).toString() + leftOver;
    }
    for (int k = 0; k < glyphs; ++k) {
        if (k == heir)
            assign(k, heirText.isEmpty() ? QStringView(leftOver) : QStringView(heirText));
        else if (own[size_t(k)] >= 0)
            assign(k, characters.mid(chars[size_t(own[size_t(k)])].at,
                                     chars[size_t(own[size_t(k)])].length));
        else
            assign(k, QStringView());
    }
}

// A glyph that holds a letter with its points (a shin with its dot, a lamed with its holam, drawn
// as one glyph): the letter it copies back as, and the points, which go on a blank glyph of their
// own. pdf.js takes any glyph whose text holds a point for a point of no width, and loses its
// place on the line after one; a letter and its points apart read right in every reader.
struct HeldPoints {
    QString letter, points;
};

inline bool holdsPoints(QStringView text) {
    bool point = false, letter = false;
    for (const QChar c : text)
        (c.category() == QChar::Mark_NonSpacing ? point : letter) = true;
    return point && letter;
}

inline HeldPoints pointsApart(QStringView text) {
    HeldPoints held;
    for (const QChar c : text)
        (c.category() == QChar::Mark_NonSpacing ? held.points : held.letter).append(c);
    return held;
}

} // namespace palvex::pdf
