#pragma once

#include <QString>

namespace palvex {

// A value's text in exactly n characters: cut to its first n, or padded with spaces on the left.
QString FitRight(const QString& text, qsizetype n);

// Text in exactly n characters: cut to its first n, or padded with spaces on the right.
QString padRight(const QString& text, qsizetype n);

} // namespace palvex
