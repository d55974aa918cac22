#include "CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace palvex {

namespace {

// Decodes every byte of a single-byte page through iconv; false when iconv lacks the page, or
// when it is not single-byte (a page of several bytes a character leaves most bytes above 127
// undecodable on their own).
bool buildTable(int number, std::array<QChar, 256>& table) {
    const std::string name = "CP" + std::to_string(number);
    iconv_t cd = iconv_open("UTF-16LE", name.c_str());
    if (cd == iconv_t(-1)) return false;
    int undefined = 0;
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
        const bool defined = done != size_t(-1) && outLeft != sizeof out;
        table[b] = defined ? QChar(out[0]) : QChar(0xFFFD);
        if (!defined) ++undefined;
    }
    iconv_close(cd);
    return undefined <= 64;
}

} // namespace

const CodePage& CodePage::system() {
    static const CodePage& page = forNumber([] {
        const char* env = std::getenv("PALVEX_CODEPAGE");
        const int number = env ? std::atoi(env) : Default;
        return isKnown(number) ? number : Default;
    }());
    return page;
}

const CodePage& CodePage::forNumber(int number) {
    // Built once each and never destroyed: items and readers hold references for the process.
    static std::mutex guard;
    static std::map<int, std::unique_ptr<const CodePage>>& pages =
        *new std::map<int, std::unique_ptr<const CodePage>>;
    const std::lock_guard lock(guard);
    auto& page = pages[number];
    if (!page) page = std::make_unique<const CodePage>(number);
    return *page;
}

bool CodePage::isKnown(int number) {
    if (number == Utf8) return true;
    std::array<QChar, 256> table{};
    return number > 0 && buildTable(number, table);
}

CodePage::CodePage(int number) : m_number(number) {
    // UTF-8 keeps Windows-1255's table for the character codes hosts pass.
    if (number == Utf8 || !buildTable(number, m_toUnicode)) {
        if (number != Utf8) m_number = Default;
        buildTable(Default, m_toUnicode);
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
    if (isUtf8()) return true;
    return std::all_of(text.begin(), text.end(), [this](QChar c) { return holds(c); });
}

QString CodePage::storedForm(const QString& text) const {
    if (isUtf8() || holdsAll(text)) return text;
    QString stored = text;
    for (QChar& c : stored)
        if (!holds(c)) c = QLatin1Char('?');
    return stored;
}

QByteArray CodePage::encode(QStringView text) const {
    if (isUtf8()) return text.toUtf8();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = byteOf(text[i]);
    return bytes;
}

void CodePage::encodeInto(QStringView text, char* out, qsizetype width) const {
    if (isUtf8()) {
        // Whole characters only: the field ends before one that would not fit.
        const QByteArray bytes = text.toUtf8();
        qsizetype n = std::min(width, bytes.size());
        if (n < bytes.size())
            while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80)
                --n;
        std::memcpy(out, bytes.constData(), size_t(n));
        std::memset(out + n, ' ', size_t(width - n));
        return;
    }
    const qsizetype n = std::min(width, text.size());
    for (qsizetype i = 0; i < n; ++i)
        out[i] = byteOf(text[i]);
    std::memset(out + n, ' ', size_t(width - n));
}

QString CodePage::decode(const char* bytes, qsizetype size) const {
    if (isUtf8()) return QString::fromUtf8(bytes, size);
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = m_toUnicode[static_cast<unsigned char>(bytes[i])];
    return text;
}

} // namespace palvex
