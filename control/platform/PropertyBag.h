#pragma once

#include "core/InternalExport.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

class QSettings;

namespace palvex {

// A value the form's property store keeps, in the type of the property it belongs to.
using PropertyValue = std::variant<bool, int16_t, int32_t, float, QString, QFont>;

// The host form's property store: named values with defaults.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value converted to the default's type; the default when the key is absent.
    virtual PropertyValue read(const QString& key, const PropertyValue& defaultValue) = 0;
    // A value equal to its default may be left out.
    virtual void write(const QString& key, const PropertyValue& value,
                       const PropertyValue& defaultValue) = 0;
};

// Properties in an INI file through QSettings (one group per control on the form).
class IniPropertyBag final : public PropertyBag {
public:
    PALVEX_INTERNAL_EXPORT explicit IniPropertyBag(
        const QString& fileName, const QString& group = QStringLiteral("Palvex1"));
    PALVEX_INTERNAL_EXPORT ~IniPropertyBag() override;
    PropertyValue read(const QString& key, const PropertyValue& defaultValue) override;
    void write(const QString& key, const PropertyValue& value,
               const PropertyValue& defaultValue) override;
    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
    QString m_group;
};

// Properties in memory, keeping the order of every write (tests, hosts without a form file).
class MemoryPropertyBag final : public PropertyBag {
public:
    PropertyValue read(const QString& key, const PropertyValue& defaultValue) override;
    void write(const QString& key, const PropertyValue& value,
               const PropertyValue& defaultValue) override;
    const std::vector<std::pair<QString, PropertyValue>>& writes() const { return m_writes; }
    void set(const QString& key, const PropertyValue& value) { m_writes.emplace_back(key, value); }

private:
    std::vector<std::pair<QString, PropertyValue>> m_writes;
};

} // namespace palvex
