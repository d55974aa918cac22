#include "TextMetrics.h"

#include "AmountCharacters.h"
#include "FontCatalog.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>

namespace palvex {

namespace {

size_t qHash(const FontSpec& spec, size_t seed = 0) {
    return qHashMulti(seed, spec.name, spec.size, spec.bold, spec.italic, spec.underline,
                      spec.strikethru);
}

// A paint device whose logical resolution is 1440 dpi.
const QImage& twipDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = qRound(TextMetrics::DotsPerInch / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

// Font engines overflow their fixed-point metrics far below the largest size a host may set
// (2160 points at 1440 dpi is 43200 pixels): larger sizes are measured at this one and scaled,
// which unhinted outlines allow.
constexpr float LargestMeasuredSize = 400;

// Amounts, each printed once, are measured from their characters' advances and their pairs'
// kerning where the font sets them glyph by glyph (no ligature, nothing contextual): no shaping.
class NumberAdvances {
public:
    // The width of `text` in the font's units, when it is an amount the font sets glyph by glyph.
    std::optional<double> widthOf(const QFontMetricsF& metrics, QStringView text) const {
        for (const QChar c : text)
            if (AmountCharacters::indexOf(c) < 0) return std::nullopt;
        if (!m_probed) probe(metrics);
        if (!m_plain) return std::nullopt;
        return sum(text);
    }

private:
    static constexpr int Count = AmountCharacters::Count;
    double sum(QStringView text) const {
        double width = 0;
        int previous = -1;
        for (const QChar c : text) {
            const int at = AmountCharacters::indexOf(c);
            width += m_advance[at] + (previous >= 0 ? m_kerning[previous][at] : 0);
            previous = at;
        }
        return width;
    }
    void probe(const QFontMetricsF& metrics) const {
        m_probed = true;
        for (int a = 0; a < Count; ++a)
            m_advance[a] = metrics.horizontalAdvance(QString(QChar(AmountCharacters::Of[a])));
        for (int a = 0; a < Count; ++a)
            for (int b = 0; b < Count; ++b) {
                const QChar pair[2] = {QChar(AmountCharacters::Of[a]),
                                       QChar(AmountCharacters::Of[b])};
                m_kerning[a][b] =
                    metrics.horizontalAdvance(QString(pair, 2)) - m_advance[a] - m_advance[b];
            }
        // Amounts shaped whole take what their pieces add up to (the sums are exact: advances
        // are in 1/64 units), or the font does something in context and amounts are shaped.
        for (const char16_t* amount : {u"1,234,567.89", u"-0.05", u"11,111.11", u"100.00-",
                                       u"2026-0142", u"9.99", u"-1,029.47"}) {
            const QString text = QString::fromUtf16(amount);
            if (metrics.horizontalAdvance(text) != sum(text)) return;
        }
        m_plain = true;
    }
    mutable bool m_probed = false, m_plain = false;
    mutable double m_advance[Count] = {};
    mutable double m_kerning[Count][Count] = {};
};

struct Measured {
    QFont font;
    QFontMetricsF metrics;
    double scale = 1; // metrics were taken at size / scale
    // Reports repeat their texts (titles, names, codes) on every page: shaping is the cost.
    mutable QHash<QString, double> widths;
    NumberAdvances numbers;
};

constexpr qsizetype MaxRememberedWidths = 8192; // per font; then they are forgotten

// Hosts switch between a handful of fonts; keep the metrics of the recent ones.
class MetricsCache {
public:
    const Measured& get(const FontSpec& spec) {
        if (m_last && m_lastSpec == spec) return *m_last;
        auto it = m_cache.find(spec);
        if (it == m_cache.end()) {
            if (m_cache.size() >= 256) m_cache.clear();
            QFont font = TextMetrics::fontFor(spec);
            const double scale =
                spec.size > LargestMeasuredSize ? spec.size / LargestMeasuredSize : 1.0;
            QFont measured = font;
            if (scale != 1.0) measured.setPointSizeF(LargestMeasuredSize);
            it = m_cache
                     .emplace(spec,
                              std::make_shared<Measured>(Measured{
                                  font, QFontMetricsF(measured, &twipDevice()), scale, {}, {}}))
                     .first;
        }
        m_lastSpec = spec;
        m_last = it->second;
        return *m_last;
    }

private:
    struct Hash {
        size_t operator()(const FontSpec& s) const { return qHash(s); }
    };
    std::unordered_map<FontSpec, std::shared_ptr<Measured>, Hash> m_cache;
    FontSpec m_lastSpec;
    std::shared_ptr<Measured> m_last;
};

MetricsCache& cache() {
    static MetricsCache instance;
    return instance;
}

} // namespace

QFont TextMetrics::fontFor(const FontSpec& spec) {
    const FontCatalog& catalog = FontCatalog::instance();
    QString family = catalog.resolve(spec.name);
    if (family.isEmpty()) family = catalog.resolve(QStringLiteral("MS Sans Serif"));
    QFont font;
    QStringList families{family};
    families += catalog.fallbacks(family);
    font.setFamilies(families);
    // Points at 1440 dpi: one point is 20 twips.
    font.setPointSizeF(spec.size);
    if (const QString style = catalog.style(spec.name); !style.isEmpty()) font.setStyleName(style);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikethru);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

namespace {

// Font engines add advances in 26.6 fixed point, which overflows past 2^25 device units (some
// 300,000 characters of 12-point text): a longer text is measured in pieces of at most this
// many characters, each small enough at the largest measured size, and the pieces are added in
// double precision.
constexpr qsizetype LongestMeasuredPiece = 1024;
// Texts longer than this are not remembered: a few would fill the cache's memory.
constexpr qsizetype LongestRememberedText = 512;

double measure(const Measured& m, QStringView text) {
    if (text.size() <= LongestMeasuredPiece)
        return m.metrics.horizontalAdvance(text.toString()) * m.scale;
    // Each piece ends at the last line-break opportunity within reach, else at the last grapheme
    // boundary, so that no shaped cluster (nor Arabic letters joined across it) is cut.
    const QString whole = text.toString();
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, whole);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, whole);
    auto pieceEnd = [&](qsizetype from) {
        const qsizetype limit = from + LongestMeasuredPiece;
        if (limit >= whole.size()) return whole.size();
        for (QTextBoundaryFinder* finder : {&lines, &graphemes}) {
            finder->setPosition(limit + 1);
            const qsizetype end = finder->toPreviousBoundary();
            if (end > from) return end;
        }
        return limit;
    };
    double width = 0;
    for (qsizetype from = 0; from < whole.size();) {
        const qsizetype end = pieceEnd(from);
        width += m.metrics.horizontalAdvance(whole.mid(from, end - from)) * m.scale;
        from = end;
    }
    return width;
}

} // namespace

double TextMetrics::width(const FontSpec& spec, QStringView text) {
    if (text.isEmpty()) return 0;
    const Measured& m = cache().get(spec);
    if (text.size() > LongestRememberedText) return measure(m, text);
    if (AmountCharacters::indexOf(text.front()) >= 0)
        if (const std::optional<double> width = m.numbers.widthOf(m.metrics, text))
            return *width * m.scale;
    QString key = text.toString();
    if (const auto known = m.widths.constFind(key); known != m.widths.constEnd()) return *known;
    const double width = measure(m, key);
    if (m.widths.size() >= MaxRememberedWidths) m.widths.clear();
    m.widths.insert(std::move(key), width);
    return width;
}

const QFont& TextMetrics::cachedFont(const FontSpec& spec) {
    return cache().get(spec).font;
}

double TextMetrics::ascent(const FontSpec& spec) {
    const Measured& m = cache().get(spec);
    return m.metrics.ascent() * m.scale;
}

double TextMetrics::lineHeight(const FontSpec& spec) {
    const Measured& m = cache().get(spec);
    return m.metrics.lineSpacing() * m.scale;
}

QList<TextMetrics::Stretch> TextMetrics::stretchesOf(const FontSpec& spec, const QString& text,
                                                     qsizetype from, qsizetype length) {
    QList<Stretch> stretches;
    from = std::clamp<qsizetype>(from, 0, text.size());
    length = std::clamp<qsizetype>(length, 0, text.size() - from);
    if (length == 0) return stretches;
    // The layout a painter makes of a right-to-left line, with no alignment offset.
    QTextLayout layout(text, cachedFont(spec), &twipDevice());
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) return stretches;
    line.setNumColumns(int(text.size()));
    layout.endLayout();
    const double origin = line.naturalTextRect().left();
    for (const QGlyphRun& run : line.glyphRuns(int(from), int(length))) {
        const QRectF r = run.boundingRect();
        if (r.width() > 0) stretches.append({r.left() - origin, r.right() - origin});
    }
    std::sort(stretches.begin(), stretches.end(),
              [](const Stretch& a, const Stretch& b) { return a.left < b.left; });
    return stretches;
}

} // namespace palvex
