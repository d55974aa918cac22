#pragma once

#include "Export.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <variant>

namespace palvex {

// A value crossing the automation interface. `Missing` stands for an omitted optional argument.
class PALVEX_EXPORT Variant {
public:
    enum class Type { Missing, Bool, Int16, Int32, Single, Double, String, Font };

    Variant() = default;
    Variant(bool value) : m_value(value) {}
    Variant(int16_t value) : m_value(value) {}
    Variant(int32_t value) : m_value(value) {}
    Variant(float value) : m_value(value) {}
    Variant(double value) : m_value(value) {}
    Variant(QString value) : m_value(std::move(value)) {}
    Variant(const char*) = delete; // say the encoding: QStringLiteral or QString::fromUtf8
    Variant(QFont value) : m_value(std::move(value)) {}

    static Variant missing() { return {}; }

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isMissing() const { return type() == Type::Missing; }

    // Conversions as a late-bound caller expects them: a value out of the target's range is
    // Overflow (6); a string that is not a number where a number is wanted is TypeMismatch (13).
    // They throw palvex::Error.
    bool toBool() const;
    int16_t toInt16() const;
    int32_t toInt32() const;
    float toSingle() const;
    double toDouble() const;
    QString toString() const;
    QFont toFont() const;

    // The value in the script host's notation: numbers in the C locale, strings quoted.
    QString toDisplayText() const;

    bool operator==(const Variant& other) const = default;

private:
    std::variant<std::monostate, bool, int16_t, int32_t, float, double, QString, QFont> m_value;
};

} // namespace palvex
