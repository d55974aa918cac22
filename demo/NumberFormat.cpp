#include "NumberFormat.h"

#include <cmath>

namespace palvex::demo {

namespace {

bool isPlace(QChar c) {
    return c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char(',') ||
           c == QLatin1Char('.');
}

} // namespace

QString formatNumber(double value, QStringView picture) {
    qsizetype first = 0;
    while (first < picture.size() && !isPlace(picture[first]))
        ++first;
    qsizetype last = picture.size();
    while (last > first && !isPlace(picture[last - 1]))
        --last;
    const QStringView prefix = picture.first(first);
    const QStringView suffix = picture.sliced(last);
    const QStringView places = picture.sliced(first, last - first);

    const qsizetype point = places.indexOf(QLatin1Char('.'));
    const QStringView whole = point < 0 ? places : places.first(point);
    const int decimals = point < 0 ? 0 : int(places.size() - point - 1);
    const bool grouped = whole.contains(QLatin1Char(','));
    const int minimumDigits = int(whole.count(QLatin1Char('0')));

    // Half away from zero, on the decimal digits people see.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    const QString fixed = QString::number(rounded, 'f', decimals);
    QString digits = decimals > 0 ? fixed.first(fixed.size() - decimals - 1) : fixed;
    if (digits == QLatin1String("0") && minimumDigits == 0) digits.clear();
    while (digits.size() < minimumDigits)
        digits.prepend(QLatin1Char('0'));
    if (grouped)
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
            digits.insert(at, QLatin1Char(','));

    QString text = prefix.toString() + digits;
    if (decimals > 0) text += QLatin1Char('.') + fixed.last(decimals);
    text += suffix;
    const bool negative = value < 0 && rounded != 0;
    return negative ? QLatin1Char('-') + text : text;
}

} // namespace palvex::demo
