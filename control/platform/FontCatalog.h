#pragma once

#include "core/InternalExport.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace palvex {

// Which font names the surfaces accept and the installed family that each one draws with.
// Names the reports were written with on other systems ("MS Sans Serif", "Times New Roman")
// are substituted by metric-compatible Debian fonts, with Hebrew fallbacks behind them.
class FontCatalog {
public:
    PALVEX_INTERNAL_EXPORT static const FontCatalog& instance();

    // At most 31 bytes, not blank, and an installed family or a substitution for one
    // (case-insensitive).
    bool isKnown(const QString& name) const;

    // The installed family a name draws with; the name itself when it is installed.
    PALVEX_INTERNAL_EXPORT QString resolve(const QString& name) const;

    // Families to fall back on for characters the resolved family lacks (Hebrew first).
    QStringList fallbacks(const QString& resolvedFamily) const;

private:
    FontCatalog();
    QString installed(const QString& family) const;
    QString resolveUncached(const QString& trimmed) const;

    QHash<QString, QString> m_familyByLowerName; // installed families, looked up per text item
    mutable QHash<QString, QString> m_resolved;  // names asked for so far (GUI thread only)
};

} // namespace palvex
