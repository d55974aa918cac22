#pragma once

#include <QChar>
#include <QStringView>

namespace palvex::pdf {

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
        const QChar::Direction d = c.direction();
        if (d == QChar::DirR || d == QChar::DirAL || isReorderingControl(d)) return true;
    }
    return false;
}

// Whether a reader that orders glyphs by their place on the line may read `text` in another
// order than it was typed: right-to-left letters beside left-to-right letters or digits, whose
// runs are laid out in visual order, or a control that reorders what is around it. A text of
// one direction is drawn glyph by glyph in the order of its characters, and reads as typed.
inline bool mixesDirections(QStringView text) {
    bool rightToLeft = false, leftToRight = false;
    for (const QChar c : text) {
        const QChar::Direction d = c.direction();
        if (isReorderingControl(d)) return true;
        rightToLeft = rightToLeft || d == QChar::DirR || d == QChar::DirAL;
        leftToRight = leftToRight || d == QChar::DirL || d == QChar::DirEN || d == QChar::DirAN;
    }
    return rightToLeft && leftToRight;
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
