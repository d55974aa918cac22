#include "ShapeParams.h"

#include "ItemWriter.h"
#include "core/FixedField.h"
#include "core/NumberText.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace palvex {

float fieldNumber(const QString& text, qsizetype from, qsizetype width) {
    const LeadingNumber n =
        parseLeadingNumber(QStringView(text).mid(std::min(from, text.size()), width));
    if (n.overflow || !std::isfinite(n.value) || std::fabs(n.value) > 3.0e38) return 0;
    return float(n.value);
}

QString ShapeParams::encode() const {
    auto single = [](float v, qsizetype n) { return FitRight(formatSingle(v), n); };
    auto integer = [](int32_t v, qsizetype n) { return FitRight(QString::number(v), n); };
    const QString text =
        single(x1, 10) + single(y1, 10) + single(x2, 10) + single(y2, 10) + integer(width, 5) +
        integer(color, 10) + integer(drawStyle, 2) + integer(drawMode, 2) + integer(fillStyle, 2) +
        single(radius, 5) + single(start, 5) + single(end, 5) +
        FitRight(formatSingle(aspect).left(5), 5) + integer(outline, 10) +
        QString::number(std::clamp(align, 0, 9)) + inside.left(60) + QString(28, QLatin1Char(' '));
    return padRight(text, 180);
}

ShapeParams ShapeParams::decode(const QString& t) {
    ShapeParams p;
    p.x1 = fieldNumber(t, 0, 10);
    p.y1 = fieldNumber(t, 10, 10);
    p.x2 = fieldNumber(t, 20, 10);
    p.y2 = fieldNumber(t, 30, 10);
    p.width = int32_t(fieldNumber(t, 40, 5));
    p.color = int32_t(std::clamp<double>(fieldNumber(t, 45, 10), INT32_MIN, INT32_MAX));
    p.drawStyle = int32_t(fieldNumber(t, 55, 2));
    p.drawMode = int32_t(fieldNumber(t, 57, 2));
    p.fillStyle = int32_t(fieldNumber(t, 59, 2));
    p.radius = fieldNumber(t, 61, 5);
    p.start = fieldNumber(t, 66, 5);
    p.end = fieldNumber(t, 71, 5);
    p.aspect = fieldNumber(t, 76, 5);
    p.outline = int32_t(std::clamp<double>(fieldNumber(t, 81, 10), INT32_MIN, INT32_MAX));
    p.align = int32_t(fieldNumber(t, 91, 1));
    p.inside = trimBlanks(t.mid(92, 60));
    return p;
}

RunParams RunParams::decode(const QString& t) {
    RunParams r;
    r.character = t.isEmpty() ? QLatin1Char(' ') : t[0];
    // The direction runs from position 2 to the first blank (blanks would join it to the start).
    const qsizetype blank = t.indexOf(QLatin1Char(' '), 1);
    r.direction = int32_t(fieldNumber(t, 1, (blank < 0 ? t.size() : blank) - 1));
    r.start = fieldNumber(t, 10, 5);
    r.end = fieldNumber(t, 15, 5);
    return r;
}

SpecialCenterParams SpecialCenterParams::decode(const QString& t) {
    SpecialCenterParams p;
    p.text = trimBlanks(t.left(100));
    p.x1 = fieldNumber(t, 100, 10);
    p.x2 = fieldNumber(t, 110, 10);
    p.y1 = fieldNumber(t, 120, 10);
    p.y2 = fieldNumber(t, 130, 10);
    return p;
}

PictureParams PictureParams::decode(const QString& t) {
    // The name is right-justified in 100 columns, or as many as a longer name takes; the two
    // sizes follow it in 10 columns each.
    const QString text = trimTrailingBlanks(t);
    const qsizetype nameWidth = std::max<qsizetype>(100, text.size() - 20);
    PictureParams p;
    p.fileName = text.left(nameWidth).trimmed();
    p.width = fieldNumber(text, nameWidth, 10);
    p.height = fieldNumber(text, nameWidth + 10, 10);
    return p;
}

} // namespace palvex
