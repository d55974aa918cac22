#pragma once

#include "InternalExport.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>

namespace palvex {

// The code page text is stored in where it meets a file (the report store, printouts): a
// single-byte ANSI page that iconv knows (Windows-1255 unless PALVEX_CODEPAGE or the control's
// CodePage property names another: 1252, 1256 ...), or UTF-8 (65001), which holds every
// character at one to four bytes each.
class CodePage {
public:
    static constexpr int Utf8 = 65001;
    static constexpr int Default = 1255;

    // The default page of this process: PALVEX_CODEPAGE when it names a known page, else 1255.
    static const CodePage& system();
    // The page of that number, made once for the process; 1255 when the number is not known.
    PALVEX_INTERNAL_EXPORT static const CodePage& forNumber(int number);
    // UTF-8, or a single-byte page iconv knows.
    static bool isKnown(int number);

    // A code page by number; falls back to 1255 when it is not known.
    PALVEX_INTERNAL_EXPORT explicit CodePage(int number);

    int number() const { return m_number; }
    bool isUtf8() const { return m_number == Utf8; }

    // In a single-byte page one byte per character, a character the page cannot hold becoming
    // '?'; in UTF-8 every character, in one to four bytes.
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

    // The character that a byte stands for (a character code of the host's, such as that of a
    // repeated character). In UTF-8, where a byte above 127 is no character, the byte's
    // character in Windows-1255, so that codes mean what they meant before.
    QChar charOf(unsigned char byte) const { return m_toUnicode[byte]; }

private:
    char byteOf(QChar c) const;
    bool holds(QChar c) const { return isUtf8() || c == QLatin1Char('?') || byteOf(c) != '?'; }

    int m_number = 1255;
    std::array<QChar, 256> m_toUnicode{};
    std::array<int16_t, 0x800> m_fromLow{};       // U+0000-U+07FF (Latin and Hebrew): byte or -1
    QHash<char16_t, unsigned char> m_fromUnicode; // the rest of the page (dashes, quotes, shekel)
};

} // namespace palvex
