#include "CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace palvex {

namespace {

// Decodes every byte of a single-byte page through iconv; false when iconv lacks the page.
bool buildTable(int number, std::array<QChar, 256>& table) {
    const std::string name = "CP" + std::to_string(number);
    iconv_t cd = iconv_open("UTF-16LE", name.c_str());
    if (cd == iconv_t(-1)) return false;
    for (int b = 0; b < 256; ++b) {
        char in = char(b);
        char16_t out[4] = {};
        char* inPtr = &in;
        size_t inLeft = 1;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        // Some pages (1255, 1258) hold a base letter back for a combining mark: flush it.
        if (done != size_t(-1)) done = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        // Undefined positions of the page read as the replacement character.
        table[b] = (done == size_t(-1) || outLeft == sizeof out) ? QChar(0xFFFD) : QChar(out[0]);
    }
    iconv_close(cd);
    return true;
}

} // namespace

const CodePage& CodePage::system() {
    static const CodePage page([] {
        const char* env = std::getenv("PALVEX_CODEPAGE");
        const int number = env ? std::atoi(env) : 1255;
        return number > 0 ? number : 1255;
    }());
    return page;
}

CodePage::CodePage(int number) : m_number(number) {
    if (!buildTable(number, m_toUnicode)) {
        m_number = 1255;
        buildTable(1255, m_toUnicode);
    }
    m_fromLow.fill(-1);
    for (int b = 255; b >= 0; --b) {
        const char16_t u = m_toUnicode[b].unicode();
        if (u == 0xFFFD) continue;
        if (u < m_fromLow.size())
            m_fromLow[u] = int16_t(b);
        else
            m_fromUnicode.insert(u, b);
    }
}

char CodePage::byteOf(QChar c) const {
    const char16_t u = c.unicode();
    if (u < m_fromLow.size()) return m_fromLow[u] < 0 ? '?' : char(m_fromLow[u]);
    const auto it = m_fromUnicode.constFind(u);
    return it == m_fromUnicode.cend() ? '?' : char(*it);
}

bool CodePage::holdsAll(QStringView text) const {
    return std::all_of(text.begin(), text.end(), [this](QChar c) { return holds(c); });
}

QString CodePage::storedForm(const QString& text) const {
    if (holdsAll(text)) return text;
    QString stored = text;
    for (QChar& c : stored)
        if (!holds(c)) c = QLatin1Char('?');
    return stored;
}

QByteArray CodePage::encode(QStringView text) const {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = byteOf(text[i]);
    return bytes;
}

void CodePage::encodeInto(QStringView text, char* out, qsizetype width) const {
    const qsizetype n = std::min(width, text.size());
    for (qsizetype i = 0; i < n; ++i)
        out[i] = byteOf(text[i]);
    std::memset(out + n, ' ', size_t(width - n));
}

QString CodePage::decode(const char* bytes, qsizetype size) const {
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = m_toUnicode[static_cast<unsigned char>(bytes[i])];
    return text;
}

} // namespace palvex
