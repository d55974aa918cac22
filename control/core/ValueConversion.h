#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

namespace palvex {

// How a value given as text becomes a number, a truth value or a font, the way a late-bound
// caller expects it: the automation interface's Variant and the form's saved properties read
// values alike. They throw palvex::Error: TypeMismatch (13) for a text that is not one number
// (or no font), Overflow (6) for a number beyond the target's range.

// The number a text stands for when the whole of it (blanks aside) is one number.
double numberFromText(const QString& text);
// "true" or "false" in any case, or a number: true when it is not 0.
bool boolFromText(const QString& text);
// Rounded half to even, as the runtime's integer conversions do.
int16_t int16FromNumber(double value);
int32_t int32FromNumber(double value);
float singleFromNumber(double value);
QFont fontFromText(const QString& text);

} // namespace palvex
