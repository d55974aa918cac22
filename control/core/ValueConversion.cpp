#include "ValueConversion.h"

#include "core/Guarded.h"
#include "core/NumberText.h"

#include <cmath>
#include <limits>

namespace palvex {

namespace {

template <class Int> Int toInteger(double value) {
    if (std::isnan(value)) raise(Status::Overflow);
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        raise(Status::Overflow);
    return static_cast<Int>(rounded);
}

} // namespace

double numberFromText(const QString& text) {
    const auto parsed = parseStrictNumber(text);
    if (!parsed) raise(Status::TypeMismatch);
    if (std::isinf(*parsed)) raise(Status::Overflow);
    return *parsed;
}

bool boolFromText(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
    if (word.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0) return false;
    return numberFromText(text) != 0.0;
}

int16_t int16FromNumber(double value) {
    return toInteger<int16_t>(value);
}

int32_t int32FromNumber(double value) {
    return toInteger<int32_t>(value);
}

float singleFromNumber(double value) {
    if (std::isfinite(value) && std::fabs(value) > double(std::numeric_limits<float>::max()))
        raise(Status::Overflow);
    return static_cast<float>(value);
}

QFont fontFromText(const QString& text) {
    QFont font;
    if (!font.fromString(text)) raise(Status::TypeMismatch);
    return font;
}

} // namespace palvex
