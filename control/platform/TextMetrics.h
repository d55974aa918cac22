#pragma once

#include <QFont>
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
};

} // namespace palvex
