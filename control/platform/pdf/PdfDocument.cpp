#include "PdfDocument.h"

#include "QtText.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace palvex::pdf {

namespace {

// The threads that deflate pages while the next is drawn. A few suffice: a page is drawn in
// about the time one is deflated.
unsigned compressionWorkers() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores > 1 ? cores - 1 : 1u, 1u, 4u);
}

// Advances are in font units, kept to the 1/64 steps Qt keeps them in.
double fixed(double v) {
    return std::round(v * 64) / 64;
}

// A shaped text's glyphs from the baseline's left end; right-to-left glyphs are placed from the
// far end, as Qt places them.
std::vector<PlacedGlyph> placeShaped(const PlainShaper::Shaped& shaped, QPointF origin, double unit,
                                     bool rightToLeft) {
    double x = fixed(origin.x());
    const double y = fixed(origin.y());
    if (rightToLeft)
        for (const PlainShaper::Glyph& g : shaped.glyphs)
            x += fixed(g.advance * unit);
    std::vector<PlacedGlyph> placed(shaped.glyphs.size());
    for (size_t i = 0; i < placed.size(); ++i) {
        const PlainShaper::Glyph& g = shaped.glyphs[i];
        const double advance = fixed(g.advance * unit);
        if (rightToLeft) x -= advance;
        placed[i] = {x + fixed(g.xOffset * unit), y - fixed(g.yOffset * unit), g.cid};
        if (!rightToLeft) x += advance;
    }
    return placed;
}

} // namespace

PdfDocument::PdfDocument(QIODevice& out, PdfPageGeometry geometry, int resolution,
                         DocumentProperties properties, bool tagged)
    : m_geometry(geometry), m_resolution(resolution), m_writer(out, properties),
      m_resources(m_writer), m_shaper(m_resources.fonts()), m_compressor(compressionWorkers()) {
    // Object streams are deflated beside the pages, in the order they come.
    m_writer.setDeflater([this](int id, QByteArray entries, QByteArray data) {
        m_compressor.submit(id, std::move(data), std::move(entries));
    });
    if (tagged) {
        m_structure.emplace(m_writer);
        m_tagging.emplace(*m_structure, m_content, properties.language);
    }
    beginPage();
}

PdfDocument::~PdfDocument() = default;

void PdfDocument::beginPage() {
    m_pageContents = m_writer.reserve();
    m_pageId = m_writer.reserve();
    if (m_tagging) m_tagging->beginPage(m_pageId);
    // Device pixels from the printable area's top-left corner, y downwards.
    const double scale = 72.0 / m_resolution;
    m_content.start(QTransform(scale, 0, 0, -scale, m_geometry.printable.left(),
                               m_geometry.paper.height() - m_geometry.printable.top()));
}

void PdfDocument::endPage() {
    QByteArray entries;
    if (m_tagging) {
        // Tab order follows the structure.
        entries = " /Tabs /S";
        if (const int key = m_tagging->endPage(); key >= 0)
            entries += " /StructParents " + QByteArray::number(key);
    }
    m_writer.page(m_geometry.paper.width(), m_geometry.paper.height(), m_pageContents, m_pageId,
                  entries);
    m_compressor.submit(m_pageContents, m_content.take());
    // One page more than there are workers may wait for them; more would only hold memory.
    writeFinishedPages(m_compressor.workers() + 1);
}

void PdfDocument::writeFinishedPages(size_t keepWaiting) {
    while (m_compressor.waiting() > keepWaiting) {
        const std::optional<PageCompressor::Finished> page = m_compressor.takeOldest();
        if (!page) break;
        if (page->deflated)
            m_writer.deflatedStream(page->id, page->entries, page->data);
        else
            m_writer.stream(page->id, page->entries, page->data, false);
    }
}

bool PdfDocument::newPage() {
    if (m_finished) return false;
    endPage();
    beginPage();
    return m_writer.ok();
}

bool PdfDocument::finish() {
    if (m_finished) return false;
    m_finished = true;
    endPage();
    // What is written from here on is written at once, after everything that waits.
    m_writer.setDeflater({});
    writeFinishedPages(0);
    // What only drawing needed goes before the fonts are subset, the last and largest step.
    m_shaper.forget();
    // A font that could not be subset leaves its resources unwritten: the document failed.
    const bool fontsWritten = m_resources.writeFonts();
    const int structure = m_structure ? m_structure->finish() : -1;
    return m_writer.finish(m_resources.dictionary(), structure) && fontsWritten;
}

bool PdfDocument::drawPlainText(const QTransform& world, const QPointF& origin, const QFont& font,
                                const QColor& color, QStringView text, bool rightToLeft) {
    if (m_finished) return false;
    const std::optional<EngineFont> engine = primaryFont(font, text);
    if (!engine) return false;
    const int index = m_resources.fonts().fontFor(engine->source, m_writer);
    // A font HarfBuzz cannot shape with (Type 1) takes Qt's layout.
    if (index < 0 || !m_resources.fonts().shapingFont(index) || engine->pixelSize <= 0)
        return false;
    const PlainShaper::Shaped* shaped = m_shaper.shape(index, text, rightToLeft);
    if (!shaped) return false;
    const double unit = engine->pixelSize / m_resources.fonts().unitsPerEm(index);
    GlyphStyle style{
        index, engine->pixelSize, engine->syntheticBold, engine->syntheticItalic, color,
        1,     rightToLeft};
    m_content.releaseHeld();
    TextState state;
    if (style.syntheticBold)
        state.boldOutline = engine->pixelSize / 30 * std::sqrt(std::fabs(world.determinant()));
    m_content.showGlyphs(m_resources.fonts(), style,
                         placeShaped(*shaped, origin, unit, rightToLeft), world, state, nullptr,
                         nullptr);
    return true;
}

} // namespace palvex::pdf
