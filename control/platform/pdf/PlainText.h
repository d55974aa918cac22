#pragma once

#include "TextDirection.h"

#include <QStringView>

namespace palvex::pdf {

// Whether a text, set in a right-to-left paragraph, is a single run whose direction the bidi
// algorithm decides at once: Hebrew or Arabic words with spaces and punctuation, a number, or
// Latin words (numbers among them) that begin and end with a letter or digit. Anything else (a
// number beside Hebrew, Latin text ending in punctuation, controls) takes Qt's full layout.
enum class PlainDirection { Mixed, LeftToRight, RightToLeft };

inline PlainDirection plainDirectionOf(QStringView text) {
    if (text.isEmpty()) return PlainDirection::Mixed;
    const QChar::Direction first = directionOf(text.front()), last = directionOf(text.back());
    bool right = false, latin = false, digits = false;
    for (const QChar c : text) {
        if (c.isSurrogate()) return PlainDirection::Mixed;
        switch (directionOf(c)) {
        case QChar::DirR:
        case QChar::DirAL:
            right = true;
            break;
        case QChar::DirL:
            latin = true;
            break;
        case QChar::DirEN:
            digits = true;
            break;
        case QChar::DirWS:
        case QChar::DirON:
        case QChar::DirES:
        case QChar::DirCS:
        case QChar::DirET:
            break;
        case QChar::DirNSM:
            if (!right) return PlainDirection::Mixed; // marks only on right-to-left letters here
            break;
        default:
            return PlainDirection::Mixed; // controls, separators, Arabic digits
        }
    }
    // In a right-to-left paragraph, neutrals anywhere among right-to-left letters, the ends
    // included, are right to left.
    if (right) return !latin && !digits ? PlainDirection::RightToLeft : PlainDirection::Mixed;
    // After a Latin letter every digit is Latin too; a number alone is one left-to-right run
    // when it begins and ends with a digit and only separators come between.
    if (latin)
        return first == QChar::DirL && (last == QChar::DirL || last == QChar::DirEN)
                   ? PlainDirection::LeftToRight
                   : PlainDirection::Mixed;
    if (digits && first == QChar::DirEN && last == QChar::DirEN) {
        for (const QChar c : text)
            if (directionOf(c) != QChar::DirEN && directionOf(c) != QChar::DirCS)
                return PlainDirection::Mixed;
        return PlainDirection::LeftToRight;
    }
    return PlainDirection::Mixed;
}

} // namespace palvex::pdf
