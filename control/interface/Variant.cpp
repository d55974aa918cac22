#include <palvex/Variant.h>

#include "core/Guarded.h"
#include "core/NumberText.h"

#include <cmath>
#include <limits>

namespace palvex {

namespace {

// The number a string stands for when the whole of it (blanks aside) is one number.
double numberFromString(const QString& text) {
    const auto parsed = parseStrictNumber(text);
    if (!parsed) raise(Status::TypeMismatch);
    if (std::isinf(*parsed)) raise(Status::Overflow);
    return *parsed;
}

// Rounds half to even, as the runtime's integer conversions do.
template <class Int> Int toInteger(double value) {
    if (std::isnan(value)) raise(Status::Overflow);
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        raise(Status::Overflow);
    return static_cast<Int>(rounded);
}

} // namespace

double Variant::toDouble() const {
    switch (type()) {
    case Type::Missing:
        raise(Status::ArgumentNotOptional);
    case Type::Bool:
        return std::get<bool>(m_value) ? -1.0 : 0.0;
    case Type::Int16:
        return std::get<int16_t>(m_value);
    case Type::Int32:
        return std::get<int32_t>(m_value);
    case Type::Single:
        return std::get<float>(m_value);
    case Type::Double:
        return std::get<double>(m_value);
    case Type::String:
        return numberFromString(std::get<QString>(m_value));
    case Type::Font:
        raise(Status::TypeMismatch);
    }
    raise(Status::TypeMismatch);
}

bool Variant::toBool() const {
    if (type() == Type::Bool) return std::get<bool>(m_value);
    if (type() == Type::String) {
        const QString text = std::get<QString>(m_value).trimmed();
        if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0) return false;
    }
    const double value = toDouble();
    return value != 0.0;
}

int16_t Variant::toInt16() const {
    return toInteger<int16_t>(toDouble());
}
int32_t Variant::toInt32() const {
    return toInteger<int32_t>(toDouble());
}

float Variant::toSingle() const {
    const double value = toDouble();
    if (std::isfinite(value) && std::fabs(value) > double(std::numeric_limits<float>::max()))
        raise(Status::Overflow);
    return static_cast<float>(value);
}

QString Variant::toString() const {
    switch (type()) {
    case Type::Missing:
        raise(Status::ArgumentNotOptional);
    case Type::Bool:
        return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Int16:
        return QString::number(std::get<int16_t>(m_value));
    case Type::Int32:
        return QString::number(std::get<int32_t>(m_value));
    case Type::Single:
        return formatSingle(std::get<float>(m_value));
    case Type::Double:
        return formatDouble(std::get<double>(m_value));
    case Type::String:
        return std::get<QString>(m_value);
    case Type::Font:
        return std::get<QFont>(m_value).toString();
    }
    return {};
}

QFont Variant::toFont() const {
    if (type() == Type::Font) return std::get<QFont>(m_value);
    if (type() == Type::String) {
        QFont font;
        if (font.fromString(std::get<QString>(m_value))) return font;
    }
    raise(Status::TypeMismatch);
}

QString Variant::toDisplayText() const {
    switch (type()) {
    case Type::Missing:
        return QString();
    case Type::Bool:
        return std::get<bool>(m_value) ? QStringLiteral("true") : QStringLiteral("false");
    case Type::String: {
        QString text = std::get<QString>(m_value);
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    case Type::Font:
        return QLatin1Char('"') + std::get<QFont>(m_value).toString() + QLatin1Char('"');
    default:
        return toString();
    }
}

} // namespace palvex
