#pragma once

#include <QByteArray>
#include <QString>

#include <charconv>
#include <cmath>

namespace palvex::pdf {

template <class Buffer> inline void appendInteger(Buffer& out, long long value) {
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, error == std::errc() ? end - buffer : 0);
}

// Numbers as PDF content wants them: fixed point, no exponent, no trailing zeros. Content
// streams are mostly numbers, and the library's fixed-point formatting of doubles is several
// times slower than this, which rounds to a whole count of the last decimal.
template <class Buffer> inline void appendNumber(Buffer& out, double value, int decimals = 3) {
    static constexpr long long Scale[] = {1, 10, 100, 1000, 10000, 100000};
    decimals = decimals < 0 ? 0 : decimals > 5 ? 5 : decimals;
    if (!std::isfinite(value) || std::fabs(value) > 1e12) value = 0;
    long long scaled = std::llround(value * double(Scale[decimals]));
    const bool negative = scaled < 0;
    if (negative) scaled = -scaled;
    // Written backwards from the end of the buffer: fraction without its trailing zeros, then
    // the whole part.
    char buffer[40];
    char* p = buffer + sizeof buffer;
    long long fraction = scaled % Scale[decimals];
    long long whole = scaled / Scale[decimals];
    int digits = decimals;
    while (digits > 0 && fraction % 10 == 0 && fraction != 0) {
        fraction /= 10;
        --digits;
    }
    if (fraction != 0) {
        for (int i = 0; i < digits; ++i) {
            *--p = char('0' + fraction % 10);
            fraction /= 10;
        }
        *--p = '.';
    }
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative && scaled != 0) *--p = '-';
    out.append(p, buffer + sizeof buffer - p);
}

inline QByteArray number(double value, int decimals = 3) {
    QByteArray out;
    appendNumber(out, value, decimals);
    return out;
}

// A text string: UTF-16BE with its byte-order mark, in hex, so any character survives.
inline QByteArray textString(const QString& text) {
    QByteArray bytes("<FEFF");
    bytes.reserve(5 + text.size() * 4 + 1);
    static const char Hex[] = "0123456789ABCDEF";
    for (QChar c : text) {
        const ushort u = c.unicode();
        bytes.append(Hex[u >> 12])
            .append(Hex[(u >> 8) & 15])
            .append(Hex[(u >> 4) & 15])
            .append(Hex[u & 15]);
    }
    return bytes.append('>');
}

template <class Buffer> inline void appendHex16(Buffer& out, unsigned value) {
    static const char Hex[] = "0123456789ABCDEF";
    const char digits[4] = {Hex[(value >> 12) & 15], Hex[(value >> 8) & 15], Hex[(value >> 4) & 15],
                            Hex[value & 15]};
    out.append(digits, 4);
}

template <class Buffer> inline void appendHex8(Buffer& out, unsigned value) {
    static const char Hex[] = "0123456789ABCDEF";
    const char digits[2] = {Hex[(value >> 4) & 15], Hex[value & 15]};
    out.append(digits, 2);
}

} // namespace palvex::pdf
