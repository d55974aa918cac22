#pragma once

#include <QFont>
#include <QList>
#include <QString>

namespace palvex {

// The font of a surface as the host set it.
struct FontSpec {
    QString name = QStringLiteral("Ms Sans Serif");
    float size = 14;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;

    bool operator==(const FontSpec&) const = default;
};

// Device-independent text measurement shared by every surface: unhinted font metrics at
// 1440 dots per inch, so one device unit is one twip and every surface lays a line out alike.
class TextMetrics {
public:
    static constexpr int DotsPerInch = 1440;

    // The QFont that draws a spec at 1440 dpi (pixel size in twips).
    static QFont fontFor(const FontSpec& spec);
    // The same, from the cache of recently used fonts.
    static const QFont& cachedFont(const FontSpec& spec);
    static double ascent(const FontSpec& spec);

    // Shaped advance of `text` in twips.
    static double width(const FontSpec& spec, QStringView text);
    // Line spacing in twips.
    static double lineHeight(const FontSpec& spec);

    // Where characters [from, from + length) of `text` lie once the line is laid out right to
    // left: stretches (left, right) in twips from the line's left edge. A range that crosses a
    // change of direction covers more than one stretch.
    struct Stretch {
        double left = 0, right = 0;
    };
    static QList<Stretch> stretchesOf(const FontSpec& spec, const QString& text, qsizetype from,
                                      qsizetype length);
};

} // namespace palvex
