#pragma once

#include "InternalExport.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>

namespace palvex {

// The system's single-byte ANSI code page, used only where text meets a file: Windows-1255
// unless PALVEX_CODEPAGE names another single-byte page that iconv knows (1252, 1256 ...).
class CodePage {
public:
    // The code page of this process (read once from the environment).
    static const CodePage& system();

    // A code page by number; falls back to 1255 when iconv does not know it.
    PALVEX_INTERNAL_EXPORT explicit CodePage(int number);

    int number() const { return m_number; }

    // One byte per character; a character the page cannot hold becomes '?'.
    PALVEX_INTERNAL_EXPORT QByteArray encode(QStringView text) const;
    PALVEX_INTERNAL_EXPORT void encodeInto(QStringView text, char* out,
                                           qsizetype width) const; // space padded
    PALVEX_INTERNAL_EXPORT QString decode(const char* bytes, qsizetype size) const;
    QString decode(const QByteArray& bytes) const {
        return decode(bytes.constData(), bytes.size());
    }

    // The text as the page stores it: every character the page cannot hold becomes '?', so
    // what is measured and laid out is what is written and drawn later.
    QString storedForm(const QString& text) const;
    bool holdsAll(QStringView text) const;

    // The character that a byte stands for.
    QChar charOf(unsigned char byte) const { return m_toUnicode[byte]; }

private:
    char byteOf(QChar c) const;
    bool holds(QChar c) const { return c == QLatin1Char('?') || byteOf(c) != '?'; }

    int m_number = 1255;
    std::array<QChar, 256> m_toUnicode{};
    std::array<int16_t, 0x800> m_fromLow{};       // U+0000-U+07FF (Latin and Hebrew): byte or -1
    QHash<char16_t, unsigned char> m_fromUnicode; // the rest of the page (dashes, quotes, shekel)
};

} // namespace palvex
