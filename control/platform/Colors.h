#pragma once

#include <QColor>

#include <cstdint>

namespace palvex {

// Colours are 0x00BBGGRR, or 0x80000000 + n (n 0-24) for a system colour of the palette.
bool isValidColor(int32_t value);

// The colour a valid value stands for; black for anything else.
QColor toQColor(int32_t value);

// The 0x00BBGGRR value of a colour.
int32_t fromQColor(const QColor& color);

} // namespace palvex
