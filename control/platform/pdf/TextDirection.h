#pragma once

#include <QChar>
#include <QStringView>

namespace palvex::pdf {

// Whether the glyphs of `text` are drawn in another order than its characters: right-to-left
// letters, and the controls that reorder what is around them.
inline bool reorders(QStringView text) {
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
            return true;
        default:
            break;
        }
    }
    return false;
}

inline bool hasLatinLetters(QStringView text) {
    for (const QChar c : text)
        if (c.isLetter() && c.script() == QChar::Script_Latin) return true;
    return false;
}

// A run a screen reader should read in English: Latin letters and nothing right to left.
inline bool isEnglishRun(QStringView text) {
    return hasLatinLetters(text) && !reorders(text);
}

} // namespace palvex::pdf
