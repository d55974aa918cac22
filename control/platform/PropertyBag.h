#pragma once

#include "core/InternalExport.h"

#include <palvex/Variant.h>

#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QSettings;

namespace palvex {

// The host form's property store: named values with defaults.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value converted to the default's type; the default when the key is absent.
    virtual Variant read(const QString& key, const Variant& defaultValue) = 0;
    // A value equal to its default may be left out.
    virtual void write(const QString& key, const Variant& value, const Variant& defaultValue) = 0;
};

// Properties in an INI file through QSettings (one group per control on the form).
class IniPropertyBag final : public PropertyBag {
public:
    PALVEX_INTERNAL_EXPORT explicit IniPropertyBag(
        const QString& fileName, const QString& group = QStringLiteral("Palvex1"));
    PALVEX_INTERNAL_EXPORT ~IniPropertyBag() override;
    Variant read(const QString& key, const Variant& defaultValue) override;
    void write(const QString& key, const Variant& value, const Variant& defaultValue) override;
    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
    QString m_group;
};

// Properties in memory, keeping the order of every write (tests, hosts without a form file).
class MemoryPropertyBag final : public PropertyBag {
public:
    Variant read(const QString& key, const Variant& defaultValue) override;
    void write(const QString& key, const Variant& value, const Variant& defaultValue) override;
    const std::vector<std::pair<QString, Variant>>& writes() const { return m_writes; }
    void set(const QString& key, const Variant& value) { m_writes.emplace_back(key, value); }

private:
    std::vector<std::pair<QString, Variant>> m_writes;
};

} // namespace palvex
