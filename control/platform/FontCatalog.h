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

    // Names a report may name a font by: longer ones are no font's.
    static constexpr qsizetype MaxNameBytes = 1024;

    // Not blank, at most MaxNameBytes, and an installed family, a family and one of its styles
    // ("Noto Sans Hebrew Bold", as fonts are named in full), or a substitution for a family
    // (case-insensitive).
    bool isKnown(const QString& name) const;

    // The installed family a name draws with; the name itself when it is installed.
    PALVEX_INTERNAL_EXPORT QString resolve(const QString& name) const;
    // The style a full name asks for ("Bold" of "Noto Sans Hebrew Bold"); empty for a family.
    QString style(const QString& name) const;

    // Families to fall back on for characters the resolved family lacks: Hebrew first, then
    // Arabic, then one that has Cyrillic, Greek and accented Latin.
    QStringList fallbacks(const QString& resolvedFamily) const;

private:
    struct Resolved {
        QString family, style;
    };
    FontCatalog();
    QString installed(const QString& family) const;
    const Resolved& resolved(const QString& name) const;
    Resolved resolveUncached(const QString& trimmed) const;

    QHash<QString, QString> m_familyByLowerName; // installed families, looked up per text item
    mutable QHash<QString, Resolved> m_resolved; // names asked for so far (GUI thread only)
};

} // namespace palvex
