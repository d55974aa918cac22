#include "NumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace palvex {

namespace {

// Locale-independent "%.*G": the process locale may use a decimal comma.
QString formatGeneral(double value, int digits) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    if (value == 0) return QStringLiteral("0"); // never "-0"
    char buffer[48];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    if (ec != std::errc()) return QStringLiteral("0");
    for (char* p = buffer; p != end; ++p)
        if (*p == 'e') *p = 'E';
    return QString::fromLatin1(buffer, end - buffer);
}

// Whether a decimal number that does not fit a double is too large (rather than too small).
bool tooLarge(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const double value = strtod_l(number.c_str(), nullptr, cLocale);
    return std::isinf(value);
}

} // namespace

QString formatSingle(float value) {
    return formatGeneral(value, 7);
}
QString formatDouble(double value) {
    return formatGeneral(value, 15);
}

std::optional<double> parseStrictNumber(const QString& text) {
    const std::string latin = text.trimmed().toStdString();
    if (latin.empty()) return std::nullopt;
    const char* first = latin.data();
    const char* last = first + latin.size();
    bool negative = false;
    if (*first == '-' || *first == '+') {
        negative = *first == '-';
        ++first;
    }
    if (last - first > 2 && first[0] == '&' && (first[1] == 'H' || first[1] == 'h')) {
        uint64_t hex = 0;
        const auto [end, ec] = std::from_chars(first + 2, last, hex, 16);
        if (ec != std::errc() || end != last || hex > 0xFFFFFFFFull) return std::nullopt;
        // Hexadecimal literals of up to 8 digits are 32-bit patterns, as in the runtime.
        const double value = (last - first - 2) <= 4 ? double(int16_t(uint16_t(hex)))
                                                     : double(int32_t(uint32_t(hex)));
        return negative ? -value : value;
    }
    if (first == last || *first == '+' || *first == '-') return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (end != last) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Out of range is still a number: infinity when too large, zero when too small.
        value = tooLarge(std::string(first, last)) ? HUGE_VAL : 0.0;
    } else if (ec != std::errc() || !std::isfinite(value)) {
        return std::nullopt; // "inf" and "nan" are words, not numbers
    }
    return negative ? -value : value;
}

LeadingNumber parseLeadingNumber(QStringView text) {
    // Collect sign, digits, point and exponent while skipping blanks, like the runtime's Val.
    std::string number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t') ||
                         text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
            ++i;
    };
    auto isDigit = [&](qsizetype k) {
        return k < n && text[k] >= QLatin1Char('0') && text[k] <= QLatin1Char('9');
    };
    skipBlanks();
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        if (text[i] == QLatin1Char('-')) number += '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (;;) {
        skipBlanks();
        if (isDigit(i)) {
            number += char(text[i].unicode());
            digits = true;
            ++i;
        } else if (!point && i < n && text[i] == QLatin1Char('.')) {
            number += '.';
            point = true;
            ++i;
        } else {
            break;
        }
    }
    if (!digits) return {};
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e') ||
                  text[i] == QLatin1Char('D') || text[i] == QLatin1Char('d'))) {
        qsizetype k = i + 1;
        std::string exponent = "e";
        if (k < n && (text[k] == QLatin1Char('-') || text[k] == QLatin1Char('+')))
            exponent += char(text[k++].unicode());
        if (isDigit(k)) {
            while (isDigit(k))
                exponent += char(text[k++].unicode());
            number += exponent;
        }
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is reported.
        return tooLarge(number) ? LeadingNumber{0, true} : LeadingNumber{};
    }
    if (ec != std::errc() || !std::isfinite(value)) return {0, true};
    (void)end;
    return {value == 0 ? 0.0 : value, false};
}

} // namespace palvex
