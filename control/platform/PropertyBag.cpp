#include "PropertyBag.h"

#include "core/Guarded.h"

#include <QSettings>

namespace palvex {

namespace {

QVariant toQVariant(const Variant& value) {
    switch (value.type()) {
    case Variant::Type::Missing:
        return {};
    case Variant::Type::Bool:
        return value.toBool();
    case Variant::Type::Int16:
    case Variant::Type::Int32:
        return value.toInt32();
    case Variant::Type::Single:
        return double(value.toSingle());
    case Variant::Type::Double:
        return value.toDouble();
    case Variant::Type::String:
        return value.toString();
    case Variant::Type::Font:
        return value.toFont().toString();
    }
    return {};
}

// A stored text read back in the type of the default; the default when it does not convert.
Variant convertLike(const Variant& stored, const Variant& defaultValue) {
    try {
        switch (defaultValue.type()) {
        case Variant::Type::Bool:
            return stored.toBool();
        case Variant::Type::Int16:
            return stored.toInt16();
        case Variant::Type::Int32:
            return stored.toInt32();
        case Variant::Type::Single:
            return stored.toSingle();
        case Variant::Type::Double:
            return stored.toDouble();
        case Variant::Type::Font:
            return stored.toFont();
        default:
            return stored.toString();
        }
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

Variant IniPropertyBag::read(const QString& key, const Variant& defaultValue) {
    const QString path = m_group + QLatin1Char('/') + key;
    if (!m_settings->contains(path)) return defaultValue;
    return convertLike(Variant(m_settings->value(path).toString()), defaultValue);
}

void IniPropertyBag::write(const QString& key, const Variant& value, const Variant& defaultValue) {
    const QString path = m_group + QLatin1Char('/') + key;
    if (value == defaultValue)
        m_settings->remove(path);
    else
        m_settings->setValue(path, toQVariant(value));
}

Variant MemoryPropertyBag::read(const QString& key, const Variant& defaultValue) {
    for (auto it = m_writes.rbegin(); it != m_writes.rend(); ++it)
        if (it->first == key) return convertLike(it->second, defaultValue);
    return defaultValue;
}

void MemoryPropertyBag::write(const QString& key, const Variant& value, const Variant&) {
    m_writes.emplace_back(key, value);
}

} // namespace palvex
