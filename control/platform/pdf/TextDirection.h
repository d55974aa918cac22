#pragma once

#include <QChar>
#include <QStringView>

#include <array>
#include <cstdint>

namespace palvex::pdf {

// QChar::direction, the same answers: the characters a report is mostly made of (Latin,
// punctuation, Hebrew) from a table of Qt's own answers, made once, instead of a call into Qt
// for each character of each text, several times as a text is drawn and tagged.
inline QChar::Direction directionOf(QChar c) {
    static const auto known = [] {
        std::array<uint8_t, 0x600> table{};
        for (char16_t u = 0; u < table.size(); ++u)
            table[u] = uint8_t(QChar(u).direction());
        return table;
    }();
    const char16_t u = c.unicode();
    return u < known.size() ? QChar::Direction(known[u]) : c.direction();
}

// The embedding, override and isolate controls: they reorder what is around them.
inline bool isReorderingControl(QChar::Direction direction) {
    switch (direction) {
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLI:
    case QChar::DirLRI:
    case QChar::DirFSI:
        return true;
    default:
        return false;
    }
}

// Right-to-left letters, or the controls that reorder what is around them.
inline bool hasRightToLeft(QStringView text) {
    for (const QChar c : text) {
        const QChar::Direction d = directionOf(c);
        if (d == QChar::DirR || d == QChar::DirAL || isReorderingControl(d)) return true;
    }
    return false;
}

// Whether `text` is laid out in runs of both directions, whose order a reader must work out
// again: right-to-left letters beside left-to-right letters or digits, or a control that
// reorders what is around it.
inline bool mixesDirections(QStringView text) {
    bool rightToLeft = false, leftToRight = false;
    for (const QChar c : text) {
        const QChar::Direction d = directionOf(c);
        if (isReorderingControl(d)) return true;
        rightToLeft = rightToLeft || d == QChar::DirR || d == QChar::DirAL;
        leftToRight = leftToRight || d == QChar::DirL || d == QChar::DirEN || d == QChar::DirAN;
    }
    return rightToLeft && leftToRight;
}

// Whether readers may not rebuild the typed text from the glyphs shown left to right: several
// directions (above), points and other marks (a reader places a mark by where it is drawn, and
// a glyph may hold a letter with its point), or a left-to-right text (Latin, a number) that
// begins or ends with a bracket or a sign, which the right-to-left paragraph takes to its own
// side ("-1,029.47" shows as "1,029.47-").
inline bool needsActualText(QStringView text) {
    if (text.isEmpty()) return false;
    if (mixesDirections(text)) return true;
    bool leftToRight = false;
    for (const QChar c : text) {
        if (c.category() == QChar::Mark_NonSpacing) return true;
        const QChar::Direction d = directionOf(c);
        leftToRight = leftToRight || d == QChar::DirL || d == QChar::DirEN;
    }
    auto movesAside = [](QChar c) {
        const QChar::Direction d = directionOf(c);
        return d == QChar::DirON || d == QChar::DirES || d == QChar::DirCS;
    };
    return leftToRight && (movesAside(text.front()) || movesAside(text.back()));
}

// Blanks only: a text that shows nothing.
inline bool isBlankText(QStringView text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (!c.isSpace()) return false;
    return true;
}

inline bool hasLatinLetters(QStringView text) {
    for (const QChar c : text)
        if (c.isLetter() && c.script() == QChar::Script_Latin) return true;
    return false;
}

// Digits, blanks and ASCII punctuation only: a text of no language and one direction.
inline bool isPlainAscii(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')) return false;
    }
    return true;
}

// A run a screen reader should read in English: Latin letters and nothing right to left.
inline bool isEnglishRun(QStringView text) {
    return hasLatinLetters(text) && !hasRightToLeft(text);
}

} // namespace palvex::pdf
