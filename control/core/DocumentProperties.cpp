#include "DocumentProperties.h"

#include <QStringList>

namespace palvex {

namespace {
const QString ArchiveName = QStringLiteral("PDF/A-2b");
const QString AccessibleName = QStringLiteral("PDF/UA-1");
} // namespace

QString DocumentProperties::conformance() const {
    if (archive && accessible) return ArchiveName + QLatin1Char('+') + AccessibleName;
    if (archive) return ArchiveName;
    if (accessible) return AccessibleName;
    return QString();
}

bool DocumentProperties::setConformance(const QString& name) {
    const QString trimmed = name.trimmed();
    bool isArchive = false, isAccessible = false;
    if (!trimmed.isEmpty() && trimmed.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
        for (const QString& part : trimmed.split(QLatin1Char('+'))) {
            const QString p = part.trimmed();
            if (p.compare(ArchiveName, Qt::CaseInsensitive) == 0 && !isArchive)
                isArchive = true;
            else if (p.compare(AccessibleName, Qt::CaseInsensitive) == 0 && !isAccessible)
                isAccessible = true;
            else
                return false;
        }
    }
    archive = isArchive;
    accessible = isAccessible;
    return true;
}

} // namespace palvex
