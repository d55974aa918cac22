#include "FontCatalog.h"

#include <QFont>
#include <QFontDatabase>
#include <QHash>

namespace palvex {

namespace {

struct Substitution {
    const char* name;
    const char* families[4];
};

// Sans names go to Liberation Sans, serif names to Liberation Serif, fixed to Liberation Mono;
// each is followed by Hebrew families from Culmus and Noto.
constexpr Substitution kSubstitutions[] = {
    {"ms sans serif", {"Liberation Sans", "Nachlieli CLM", "Noto Sans Hebrew", nullptr}},
    {"microsoft sans serif", {"Liberation Sans", "Nachlieli CLM", "Noto Sans Hebrew", nullptr}},
    {"arial", {"Liberation Sans", "Nachlieli CLM", "Noto Sans Hebrew", nullptr}},
    {"helvetica", {"Liberation Sans", "Nachlieli CLM", "Noto Sans Hebrew", nullptr}},
    {"tahoma", {"Liberation Sans", "Nachlieli CLM", "Noto Sans Hebrew", nullptr}},
    {"times new roman", {"Liberation Serif", "David CLM", "Noto Serif Hebrew", nullptr}},
    {"times", {"Liberation Serif", "David CLM", "Noto Serif Hebrew", nullptr}},
    {"courier new", {"Liberation Mono", "Miriam Mono CLM", "Noto Sans Hebrew", nullptr}},
    // The Hebrew families of Windows reports, to the metric-alike Culmus families.
    {"david", {"David CLM", "Liberation Serif", nullptr, nullptr}},
    {"miriam", {"Miriam CLM", "Liberation Sans", nullptr, nullptr}},
    {"miriam fixed", {"Miriam Mono CLM", "Liberation Mono", nullptr, nullptr}},
    {"frankruehl", {"Frank Ruehl CLM", "Liberation Serif", nullptr, nullptr}},
    {"frank ruehl", {"Frank Ruehl CLM", "Liberation Serif", nullptr, nullptr}},
    {"narkisim", {"Nachlieli CLM", "Liberation Sans", nullptr, nullptr}},
    {"gisha", {"Nachlieli CLM", "Liberation Sans", nullptr, nullptr}},
    {"aharoni", {"Aharoni CLM", "Liberation Sans", nullptr, nullptr}},
    {"levenim mt", {"Simple CLM", "Liberation Sans", nullptr, nullptr}},
    {"arial hebrew", {"Liberation Sans", "Nachlieli CLM", "Noto Sans Hebrew", nullptr}},
};

const Substitution* substitutionFor(const QString& lowerName) {
    for (const auto& s : kSubstitutions)
        if (lowerName == QLatin1String(s.name)) return &s;
    return nullptr;
}

} // namespace

const FontCatalog& FontCatalog::instance() {
    static const FontCatalog catalog;
    return catalog;
}

FontCatalog::FontCatalog() {
    for (const QString& family : QFontDatabase::families())
        m_familyByLowerName.insert(family.toLower(), family);
    for (const auto& s : kSubstitutions) {
        QStringList families;
        for (const char* f : s.families)
            if (f) families << QString::fromLatin1(f);
        QFont::insertSubstitutions(QString::fromLatin1(s.name), families);
    }
}

QString FontCatalog::installed(const QString& family) const {
    return m_familyByLowerName.value(family.toLower());
}

bool FontCatalog::isKnown(const QString& name) const {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || name.toUtf8().size() > MaxNameBytes) return false;
    return !resolve(trimmed).isEmpty();
}

const FontCatalog::Resolved& FontCatalog::resolved(const QString& name) const {
    if (const auto known = m_resolved.constFind(name); known != m_resolved.constEnd())
        return *known;
    Resolved found = resolveUncached(name.trimmed());
    if (m_resolved.size() >= 4096) m_resolved.clear(); // hostile names stay bounded
    return *m_resolved.insert(name, std::move(found));
}

QString FontCatalog::resolve(const QString& name) const {
    return resolved(name).family;
}

QString FontCatalog::style(const QString& name) const {
    return resolved(name).style;
}

FontCatalog::Resolved FontCatalog::resolveUncached(const QString& trimmed) const {
    if (const QString direct = installed(trimmed); !direct.isEmpty()) return {direct, {}};
    if (const Substitution* s = substitutionFor(trimmed.toLower())) {
        for (const char* f : s->families)
            if (f)
                if (const QString found = installed(QString::fromLatin1(f)); !found.isEmpty())
                    return {found, {}};
    }
    // A full name: the longest installed family it begins with, and one of that family's
    // styles after it.
    const QStringList words = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype k = words.size() - 1; k >= 1; --k) {
        const QString family = installed(words.first(k).join(QLatin1Char(' ')));
        if (family.isEmpty()) continue;
        const QString wanted = words.sliced(k).join(QLatin1Char(' '));
        for (const QString& style : QFontDatabase::styles(family))
            if (style.compare(wanted, Qt::CaseInsensitive) == 0) return {family, style};
    }
    return {};
}

QStringList FontCatalog::fallbacks(const QString& resolvedFamily) const {
    static const char* const kFallbacks[] = {"Liberation Sans",   "Nachlieli CLM",
                                             "Noto Sans Hebrew",  "Noto Sans Arabic",
                                             "Noto Naskh Arabic", "DejaVu Sans"};
    QStringList list;
    for (const char* f : kFallbacks) {
        const QString found = installed(QString::fromLatin1(f));
        if (!found.isEmpty() && found != resolvedFamily) list << found;
    }
    return list;
}

} // namespace palvex
