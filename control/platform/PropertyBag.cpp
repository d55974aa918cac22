#include "PropertyBag.h"

#include "core/Guarded.h"
#include "core/ValueConversion.h"

#include <QSettings>

#include <type_traits>

namespace palvex {

namespace {

// What the file holds for a value: QSettings writes truth values as "true"/"false", numbers in
// the C locale, fonts as QFont's description.
QVariant toQVariant(const PropertyValue& value) {
    return std::visit(
        [](const auto& v) -> QVariant {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>)
                return int(v);
            else if constexpr (std::is_same_v<T, float>)
                return double(v);
            else if constexpr (std::is_same_v<T, QFont>)
                return v.toString();
            else
                return v;
        },
        value);
}

// A stored text read back in the type of the default; the default when it does not convert.
PropertyValue fromText(const QString& text, const PropertyValue& defaultValue) {
    try {
        return std::visit(
            [&](const auto& like) -> PropertyValue {
                using T = std::decay_t<decltype(like)>;
                if constexpr (std::is_same_v<T, bool>)
                    return boolFromText(text);
                else if constexpr (std::is_same_v<T, int16_t>)
                    return int16FromNumber(numberFromText(text));
                else if constexpr (std::is_same_v<T, int32_t>)
                    return int32FromNumber(numberFromText(text));
                else if constexpr (std::is_same_v<T, float>)
                    return singleFromNumber(numberFromText(text));
                else if constexpr (std::is_same_v<T, QFont>)
                    return fontFromText(text);
                else
                    return text;
            },
            defaultValue);
    } catch (const Error&) {
        return defaultValue;
    }
}

} // namespace

IniPropertyBag::IniPropertyBag(const QString& fileName, const QString& group)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat)), m_group(group) {}

IniPropertyBag::~IniPropertyBag() {
    sync();
}

void IniPropertyBag::sync() {
    m_settings->sync();
}

PropertyValue IniPropertyBag::read(const QString& key, const PropertyValue& defaultValue) {
    const QString path = m_group + QLatin1Char('/') + key;
    if (!m_settings->contains(path)) return defaultValue;
    return fromText(m_settings->value(path).toString(), defaultValue);
}

void IniPropertyBag::write(const QString& key, const PropertyValue& value,
                           const PropertyValue& defaultValue) {
    const QString path = m_group + QLatin1Char('/') + key;
    if (value == defaultValue)
        m_settings->remove(path);
    else
        m_settings->setValue(path, toQVariant(value));
}

PropertyValue MemoryPropertyBag::read(const QString& key, const PropertyValue& defaultValue) {
    for (auto it = m_writes.rbegin(); it != m_writes.rend(); ++it) {
        if (it->first != key) continue;
        // A value of another type is read as a file would read it back.
        if (it->second.index() == defaultValue.index()) return it->second;
        return fromText(toQVariant(it->second).toString(), defaultValue);
    }
    return defaultValue;
}

void MemoryPropertyBag::write(const QString& key, const PropertyValue& value,
                              const PropertyValue&) {
    m_writes.emplace_back(key, value);
}

} // namespace palvex
