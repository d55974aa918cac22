#include <palvex/Variant.h>

#include "core/Guarded.h"
#include "core/NumberText.h"
#include "core/ValueConversion.h"

namespace palvex {

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
        return numberFromText(std::get<QString>(m_value));
    case Type::Font:
        raise(Status::TypeMismatch);
    }
    raise(Status::TypeMismatch);
}

bool Variant::toBool() const {
    if (type() == Type::Bool) return std::get<bool>(m_value);
    if (type() == Type::String) return boolFromText(std::get<QString>(m_value));
    return toDouble() != 0.0;
}

int16_t Variant::toInt16() const {
    return int16FromNumber(toDouble());
}
int32_t Variant::toInt32() const {
    return int32FromNumber(toDouble());
}

float Variant::toSingle() const {
    return singleFromNumber(toDouble());
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
    if (type() == Type::String) return fontFromText(std::get<QString>(m_value));
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
