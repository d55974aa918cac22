#include "PlainShaper.h"

#include "ClusterText.h"
#include "PdfFonts.h"

#include <QMutex>

#include <hb.h>

namespace palvex::pdf {

namespace {

// Shapes `length` UTF-16 units into `buffer` as Qt shapes a run: one direction, the script and
// language HarfBuzz guesses, the font's default features.
void shapeText(hb_font_t* font, hb_buffer_t* buffer, const uint16_t* text, int length,
               bool rightToLeft) {
    hb_buffer_clear_contents(buffer);
    hb_buffer_add_utf16(buffer, text, length, 0, length);
    hb_buffer_set_direction(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(font, buffer, nullptr, 0);
}

} // namespace

PlainShaper::~PlainShaper() {
    hb_buffer_destroy(m_buffer);
}

void PlainShaper::forget() {
    m_shaped = {};
    m_scratch = {};
}

PlainShaper::NumberGlyphs PlainShaper::NumberGlyphs::probe(hb_font_t* shaping) {
    NumberGlyphs numbers;
    numbers.plain = true;
    for (int i = 0; i < NumberGlyphs::Count && numbers.plain; ++i) {
        hb_codepoint_t glyph = 0;
        numbers.plain = hb_font_get_nominal_glyph(shaping, NumberGlyphs::Characters[i], &glyph);
        numbers.glyph[i] = glyph;
        numbers.advance[i] = hb_font_get_glyph_h_advance(shaping, glyph);
    }
    // Fonts kern some pairs of digits ("11"), moving either glyph: what each pair does to each
    // of its glyphs is read from HarfBuzz, and every triple, shaped as Qt shapes text, must come
    // out as its two pairs say. A font that substitutes, or moves glyphs in longer contexts,
    // keeps HarfBuzz for its numbers.
    hb_buffer_t* buffer = hb_buffer_create();
    if (numbers.plain) numbers.plain = numbers.probePairs(shaping, buffer);
    if (numbers.plain) numbers.plain = numbers.probeTriples(shaping, buffer);
    hb_buffer_destroy(buffer);
    return numbers;
}

namespace {

// The glyphs HarfBuzz gives `characters`, and their positions.
const hb_glyph_position_t* shapeProbe(hb_font_t* font, hb_buffer_t* buffer,
                                      const uint16_t* characters, unsigned length,
                                      const hb_glyph_info_t*& infos, unsigned& count) {
    shapeText(font, buffer, characters, int(length), false);
    infos = hb_buffer_get_glyph_infos(buffer, &count);
    return hb_buffer_get_glyph_positions(buffer, nullptr);
}

} // namespace

bool PlainShaper::NumberGlyphs::probePairs(hb_font_t* shaping, hb_buffer_t* buffer) {
    using N = NumberGlyphs;
    unsigned count = 0;
    const hb_glyph_info_t* infos = nullptr;
    for (int i = 0; i < N::Count; ++i)
        for (int j = 0; j < N::Count; ++j) {
            const uint16_t characters[2] = {N::Characters[i], N::Characters[j]};
            const hb_glyph_position_t* at =
                shapeProbe(shaping, buffer, characters, 2, infos, count);
            if (count != 2 || at[0].y_offset || at[1].y_offset) return false;
            pair[i][j] = {at[0].x_advance - advance[i], at[0].x_offset,
                          at[1].x_advance - advance[j], at[1].x_offset};
        }
    return true;
}

bool PlainShaper::NumberGlyphs::probeTriples(hb_font_t* shaping, hb_buffer_t* buffer) const {
    using N = NumberGlyphs;
    unsigned count = 0;
    const hb_glyph_info_t* infos = nullptr;
    for (int i = 0; i < N::Count; ++i)
        for (int j = 0; j < N::Count; ++j)
            for (int k = 0; k < N::Count; ++k) {
                const int index[3] = {i, j, k};
                const uint16_t triple[3] = {N::Characters[i], N::Characters[j], N::Characters[k]};
                const hb_glyph_position_t* at =
                    shapeProbe(shaping, buffer, triple, 3, infos, count);
                if (count != 3) return false;
                for (unsigned g = 0; g < 3; ++g) {
                    const N::Glyph expected =
                        placed(g > 0 ? index[g - 1] : -1, index[g], g < 2 ? index[g + 1] : -1);
                    if (infos[g].codepoint != glyph[index[g]] ||
                        at[g].x_advance != expected.advance || at[g].x_offset != expected.offset ||
                        at[g].y_offset)
                        return false;
                }
            }
    return true;
}

const PlainShaper::NumberGlyphs& PlainShaper::numberGlyphsOf(int font) {
    if (const auto it = m_numberGlyphs.constFind(font); it != m_numberGlyphs.cend())
        return it.value();
    // The probe below shapes some 2,000 texts: each font file is probed once a process.
    static QMutex probedLock;
    static QHash<QByteArray, NumberGlyphs> probed;
    const QByteArray face = m_fonts.faceKey(font);
    if (!face.isEmpty()) {
        QMutexLocker locked(&probedLock);
        if (const auto it = probed.constFind(face); it != probed.cend())
            return m_numberGlyphs.insert(font, it.value()).value();
    }
    const NumberGlyphs numbers = NumberGlyphs::probe(m_fonts.shapingFont(font));
    if (!face.isEmpty()) {
        QMutexLocker locked(&probedLock);
        probed.insert(face, numbers);
    }
    return m_numberGlyphs.insert(font, numbers).value();
}

const PlainShaper::Shaped* PlainShaper::shape(int font, QStringView text, bool rightToLeft) {
    // Reports repeat their names, titles and codes: each is shaped once for a while. A full
    // cache starts again, which keeps its memory bounded whatever the report's length.
    constexpr qsizetype Longest = 64;
    constexpr qsizetype Kept = 2048;
    QString key;
    if (text.size() <= Longest) {
        key.reserve(text.size() + 2);
        key.append(QChar(ushort(font))).append(QChar(rightToLeft ? u'r' : u'l')).append(text);
        if (const auto it = m_shaped.constFind(key); it != m_shaped.cend()) return &it.value();
    }
    if (!rightToLeft)
        if (const Shaped* number = shapeNumber(font, text)) return number;
    hb_font_t* shaping = m_fonts.shapingFont(font);
    for (const QChar c : text) {
        hb_codepoint_t glyph = 0;
        if (!hb_font_get_nominal_glyph(shaping, c.unicode(), &glyph)) return nullptr;
    }
    Shaped shaped = shapeWithHarfBuzz(font, text, rightToLeft);
    if (key.isEmpty()) {
        m_scratch = std::move(shaped);
        return &m_scratch;
    }
    if (m_shaped.size() >= Kept) m_shaped.clear();
    return &m_shaped.insert(key, std::move(shaped)).value();
}

const PlainShaper::Shaped* PlainShaper::shapeNumber(int font, QStringView text) {
    // Most texts of a report are numbers, each once: glyph by glyph when the font neither joins
    // nor kerns their characters.
    const NumberGlyphs& numbers = numberGlyphsOf(font);
    if (!numbers.plain) return nullptr;
    Shaped& shaped = m_scratch;
    shaped.glyphs.clear();
    int previous = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int at = NumberGlyphs::indexOf(text[i]);
        const int next = i + 1 < text.size() ? NumberGlyphs::indexOf(text[i + 1]) : -1;
        if (at < 0 || (i + 1 < text.size() && next < 0)) return nullptr;
        const NumberGlyphs::Glyph placed = numbers.placed(previous, at, next);
        shaped.glyphs.push_back({m_fonts.cid(font, numbers.glyph[at], text.mid(i, 1), false),
                                 placed.advance, placed.offset, 0});
        previous = at;
    }
    return &shaped;
}

PlainShaper::Shaped PlainShaper::shapeWithHarfBuzz(int font, QStringView text, bool rightToLeft) {
    if (!m_buffer) m_buffer = hb_buffer_create();
    shapeText(m_fonts.shapingFont(font), m_buffer, reinterpret_cast<const uint16_t*>(text.utf16()),
              int(text.size()), rightToLeft);
    // In the text's order, as Qt keeps glyphs.
    if (rightToLeft) hb_buffer_reverse(m_buffer);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(m_buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(m_buffer, nullptr);

    Shaped shaped;
    shaped.glyphs.reserve(count);
    unsigned start = 0;
    while (start < count) {
        const unsigned cluster = infos[start].cluster;
        unsigned end = start + 1;
        while (end < count && infos[end].cluster == cluster)
            ++end;
        const unsigned nextCharacter = end < count ? infos[end].cluster : unsigned(text.size());
        const unsigned characters = nextCharacter > cluster ? nextCharacter - cluster : 0;
        hb_font_t* shaping = m_fonts.shapingFont(font);
        assignCluster(
            int(end - start), text.mid(cluster, characters),
            [&](int k) { return infos[start + unsigned(k)].codepoint; },
            [&](char32_t c) {
                hb_codepoint_t glyph = 0;
                return hb_font_get_nominal_glyph(shaping, c, &glyph) ? glyph : 0;
            },
            [&](int k, QStringView copied) {
                const unsigned i = start + unsigned(k);
                const PdfFonts::GlyphNumbers numbers =
                    m_fonts.numbers(font, infos[i].codepoint, copied, rightToLeft);
                shaped.glyphs.push_back({numbers.glyph, positions[i].x_advance,
                                         positions[i].x_offset, positions[i].y_offset});
                if (numbers.points)
                    shaped.glyphs.push_back(
                        {numbers.points, 0, positions[i].x_offset, positions[i].y_offset});
            });
        start = end;
    }
    return shaped;
}

} // namespace palvex::pdf
