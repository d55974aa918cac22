#pragma once

#include "InternalExport.h"

#include <QString>

#include <optional>

namespace palvex {

// Numbers written as text in records and printout files: C locale, no leading blank, the
// shortest form with up to 7 (single) or 15 (double) significant digits, exponent form (1E+20)
// beyond that.
PALVEX_INTERNAL_EXPORT QString formatSingle(float value);
QString formatDouble(double value);

// A whole string read as one number (blanks around it allowed; decimal, exponent or &H hex).
// Empty when the string is not a number; infinite when it is one too large for a double.
PALVEX_INTERNAL_EXPORT std::optional<double> parseStrictNumber(const QString& text);

// The forgiving reading of stored numbers: the leading numeric part of the text, blanks skipped,
// 0 when there is none. Never NaN or infinity: a value out of range reports `overflow`, value 0.
struct LeadingNumber {
    double value = 0;
    bool overflow = false;
};
LeadingNumber parseLeadingNumber(QStringView text);

} // namespace palvex
