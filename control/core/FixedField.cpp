#include "FixedField.h"

namespace palvex {

QString FitRight(const QString& text, qsizetype n) {
    if (text.size() >= n) return text.left(n);
    return QString(n - text.size(), QLatin1Char(' ')) + text;
}

QString padRight(const QString& text, qsizetype n) {
    if (text.size() >= n) return text.left(n);
    return text + QString(n - text.size(), QLatin1Char(' '));
}

} // namespace palvex
