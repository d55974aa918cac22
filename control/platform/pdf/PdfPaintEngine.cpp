#include "PdfPaintEngine.h"

#include "PdfSyntax.h"

#include <QImage>
#include <QMutex>
#include <QPixmap>
#include <QtGui/private/qfont_p.h>
#include <QtGui/private/qfontengine_p.h>
#include <QtGui/private/qtextengine_p.h>

#include <hb.h>

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

void appendPoint(QByteArray& out, double x, double y, const char* op) {
    appendNumber(out, x);
    out.append(' ');
    appendNumber(out, y);
    out.append(op);
}

void appendMatrix(QByteArray& out, const QTransform& m) {
    for (double v : {m.m11(), m.m12(), m.m21(), m.m22()}) {
        appendNumber(out, v, 5);
        out.append(' ');
    }
    appendNumber(out, m.dx());
    out.append(' ');
    appendNumber(out, m.dy());
    out.append(" cm\n");
}

// The hatch of each brush style in a 6-point cell, in pattern space (y up).
const char* hatchOf(Qt::BrushStyle style) {
    switch (style) {
    case Qt::HorPattern:
        return "0 3 m 6 3 l S";
    case Qt::VerPattern:
        return "3 0 m 3 6 l S";
    case Qt::BDiagPattern:
        return "-1 -1 m 7 7 l S";
    case Qt::FDiagPattern:
        return "-1 7 m 7 -1 l S";
    case Qt::CrossPattern:
        return "0 3 m 6 3 l S 3 0 m 3 6 l S";
    case Qt::DiagCrossPattern:
        return "-1 -1 m 7 7 l S -1 7 m 7 -1 l S";
    default:
        return nullptr;
    }
}

// What the glyphs of one cluster copy back as: its characters go to its first glyph, unless
// the cluster has one glyph for each character (a letter and its points).
template <class Assign> void assignCluster(int glyphs, QStringView characters, Assign&& assign) {
    const bool oneEach = glyphs == characters.size() && glyphs > 1;
    for (int k = 0; k < glyphs; ++k)
        assign(k, oneEach ? characters.mid(k, 1) : k == 0 ? characters : QStringView());
}

// The characters each glyph of a text item stands for.
std::vector<QStringView> glyphTexts(const QTextItemInt& item) {
    const int glyphs = item.glyphs.numGlyphs;
    std::vector<QStringView> texts(static_cast<size_t>(glyphs));
    if (!item.chars || !item.logClusters || item.num_chars <= 0) return texts;
    // A piece of an item split between fonts keeps the whole item's cluster numbers.
    const int base = *std::min_element(item.logClusters, item.logClusters + item.num_chars);
    auto glyphOf = [&](int character) { return item.logClusters[character] - base; };
    int start = 0;
    while (start < item.num_chars) {
        const int glyph = glyphOf(start);
        int end = start + 1;
        while (end < item.num_chars && glyphOf(end) == glyph)
            ++end;
        const int nextGlyph = end < item.num_chars ? glyphOf(end) : glyphs;
        if (glyph >= 0 && glyph < glyphs)
            assignCluster(std::clamp(nextGlyph, glyph + 1, glyphs) - glyph,
                          QStringView(item.chars + start, end - start),
                          [&](int k, QStringView copied) { texts[size_t(glyph + k)] = copied; });
        start = end;
    }
    return texts;
}

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

// Colours as PDF sets them, for strokes or fills.
template <class Buffer> void appendColor(Buffer& out, const QColor& color, bool stroke) {
    const QColor rgb = color.toRgb();
    appendNumber(out, rgb.redF());
    out.append(" ");
    appendNumber(out, rgb.greenF());
    out.append(" ");
    appendNumber(out, rgb.blueF());
    out.append(stroke ? " RG\n" : " rg\n");
}

} // namespace

PdfPaintEngine::PdfPaintEngine(QIODevice& out, PdfPageGeometry geometry, int resolution,
                               DocumentProperties properties)
    : QPaintEngine(AllFeatures & ~(BlendModes | RasterOpModes | PorterDuff)), m_geometry(geometry),
      m_resolution(resolution), m_writer(out, std::move(properties)),
      m_compressor(compressionWorkers()) {}

PdfPaintEngine::~PdfPaintEngine() {
    hb_buffer_destroy(m_shaping);
}

bool PdfPaintEngine::begin(QPaintDevice*) {
    beginPage();
    return m_writer.ok();
}

void PdfPaintEngine::beginPage() {
    m_page.clear();
    m_page.reserve(64 * 1024);
    m_pageContents = m_writer.reserve();
    // Device pixels from the printable area's top-left corner, y downwards.
    const double scale = 72.0 / m_resolution;
    QTransform base(scale, 0, 0, -scale, m_geometry.printable.left(),
                    m_geometry.paper.height() - m_geometry.printable.top());
    appendMatrix(m_page, base);
}

void PdfPaintEngine::flushTexts() {
    if (m_texts.empty()) return;
    std::vector<HeldText*> order;
    order.reserve(m_texts.size());
    for (HeldText& text : m_texts)
        order.push_back(&text);
    std::sort(order.begin(), order.end(),
              [](const HeldText* a, const HeldText* b) { return a->begin < b->begin; });
    bool oneText = true;
    for (size_t i = 1; i < order.size(); ++i)
        oneText &= order[i]->begin == order[i - 1]->end;
    if (!oneText)
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = &m_texts[i];
    for (const HeldText* text : order)
        m_page.append(text->content);
    m_texts.clear();
}

void PdfPaintEngine::endPage() {
    flushTexts();
    m_writer.page(m_geometry.paper.width(), m_geometry.paper.height(), m_pageContents);
    m_compressor.submit(m_pageContents, std::move(m_page));
    m_page = QByteArray();
    // One page more than there are workers may wait for them; more would only hold memory.
    writeFinishedPages(m_compressor.workers() + 1);
}

void PdfPaintEngine::writeFinishedPages(size_t keepWaiting) {
    while (m_compressor.waiting() > keepWaiting) {
        const std::optional<PageCompressor::Finished> page = m_compressor.takeOldest();
        if (!page) break;
        if (page->deflated)
            m_writer.deflatedStream(page->id, {}, page->data);
        else
            m_writer.stream(page->id, {}, page->data, false);
    }
}

bool PdfPaintEngine::newPage() {
    endPage();
    beginPage();
    return m_writer.ok();
}

bool PdfPaintEngine::end() {
    endPage();
    writeFinishedPages(0);
    // What only drawing needed goes before the fonts are subset, the last and largest step.
    m_shaped = {};
    m_scratch = {};
    m_page = QByteArray();
    // A font that could not be subset leaves its resources unwritten: the document failed.
    const bool fontsWritten = m_fonts.write(m_writer);
    QByteArray resources("<< /ProcSet [/PDF /Text /ImageB /ImageC] /Font << ");
    resources += m_fonts.resourceEntries() + ">>";
    if (!m_imageEntries.isEmpty()) resources += " /XObject << " + m_imageEntries + ">>";
    if (!m_patternEntries.isEmpty()) resources += " /Pattern << " + m_patternEntries + ">>";
    if (!m_stateEntries.isEmpty()) resources += " /ExtGState << " + m_stateEntries + ">>";
    return m_writer.finish(resources + " >>") && fontsWritten;
}

void PdfPaintEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    if (flags & DirtyTransform) m_matrix = state.transform();
    if (flags & DirtyPen) m_pen = state.pen();
    if (flags & DirtyBrush) m_brush = state.brush();
    if (flags & DirtyOpacity) m_opacity = state.opacity();
    if (flags & DirtyClipEnabled) m_clipped = state.isClipEnabled();
    if (flags & (DirtyClipPath | DirtyClipRegion)) {
        QPainterPath path;
        if (flags & DirtyClipPath)
            path = state.transform().map(state.clipPath());
        else
            path.addRegion(state.transform().map(state.clipRegion()));
        switch (state.clipOperation()) {
        case Qt::NoClip:
            m_clipped = false;
            m_clip = QPainterPath();
            break;
        case Qt::IntersectClip:
            m_clip = m_clipped ? m_clip.intersected(path) : path;
            m_clipped = true;
            break;
        default:
            m_clip = path;
            m_clipped = true;
        }
    }
}

void PdfPaintEngine::openDrawing() {
    flushTexts();
    openState(m_matrix);
}

void PdfPaintEngine::openState(const QTransform& world) {
    m_page.append("q\n");
    if (m_clipped) {
        appendPath(m_clip);
        m_page.append(m_clip.fillRule() == Qt::OddEvenFill ? "W* n\n" : "W n\n");
    }
    if (!world.isIdentity()) appendMatrix(m_page, world);
}

void PdfPaintEngine::appendColor(const QColor& color, bool stroke) {
    pdf::appendColor(m_page, color, stroke);
}

void PdfPaintEngine::appendAlpha(double fill, double stroke) {
    if (fill >= 1 && stroke >= 1) return;
    QByteArray key;
    appendNumber(key, fill, 3);
    key.append(' ');
    appendNumber(key, stroke, 3);
    QByteArray& name = m_alphaStates[key];
    if (name.isEmpty()) {
        const int id = m_writer.reserve();
        name = "/A" + QByteArray::number(m_alphaStates.size());
        QByteArray body("<< /Type /ExtGState /ca ");
        appendNumber(body, fill);
        body.append(" /CA ");
        appendNumber(body, stroke);
        m_writer.object(id, body + " >>");
        m_stateEntries += name + ' ' + QByteArray::number(id) + " 0 R ";
    }
    m_page.append(name + " gs\n");
}

QByteArray PdfPaintEngine::patternFor(const QBrush& brush) {
    const QColor color = brush.color().toRgb();
    const QByteArray key =
        QByteArray::number(int(brush.style())) + ' ' + QByteArray::number(color.rgb(), 16);
    QByteArray& name = m_patterns[key];
    if (name.isEmpty()) {
        const int id = m_writer.reserve();
        name = "/P" + QByteArray::number(m_patterns.size());
        QByteArray cell("0.5 w ");
        pdf::appendColor(cell, color, true);
        cell.append(hatchOf(brush.style()));
        m_writer.stream(id,
                        "/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 "
                        "/BBox [0 0 6 6] /XStep 6 /YStep 6 /Resources << >>",
                        cell, false);
        m_patternEntries += name + ' ' + QByteArray::number(id) + " 0 R ";
    }
    return name;
}

const char* PdfPaintEngine::prepareShape(bool closed, Qt::FillRule rule) {
    const bool stroke = m_pen.style() != Qt::NoPen && m_pen.color().alpha() > 0;
    const Qt::BrushStyle style = m_brush.style();
    const bool fill =
        closed && (style == Qt::SolidPattern || hatchOf(style)) && m_brush.color().alpha() > 0;
    if (!stroke && !fill) return nullptr;
    if (stroke) {
        // A cosmetic pen is measured in device pixels whatever the painter's scale.
        const double scale = std::sqrt(std::fabs(m_matrix.determinant()));
        double width = m_pen.widthF();
        if (m_pen.isCosmetic()) width = std::max(1.0, width) / (scale > 0 ? scale : 1);
        appendNumber(m_page, width);
        m_page.append(" w ");
        m_page.append(m_pen.capStyle() == Qt::RoundCap    ? "1 J "
                      : m_pen.capStyle() == Qt::SquareCap ? "2 J "
                                                          : "0 J ");
        m_page.append(m_pen.joinStyle() == Qt::RoundJoin   ? "1 j "
                      : m_pen.joinStyle() == Qt::BevelJoin ? "2 j "
                                                           : "0 j ");
        if (m_pen.style() != Qt::SolidLine) {
            const double unit = std::max(width, m_pen.isCosmetic() ? width : 1.0 / scale);
            m_page.append('[');
            for (double dash : m_pen.dashPattern()) {
                appendNumber(m_page, dash * unit);
                m_page.append(' ');
            }
            m_page.append("] ");
            appendNumber(m_page, m_pen.dashOffset() * unit);
            m_page.append(" d ");
        }
        appendColor(m_pen.color(), true);
    }
    if (fill) {
        if (style == Qt::SolidPattern) {
            appendColor(m_brush.color(), false);
        } else {
            m_page.append("/Pattern cs " + patternFor(m_brush) + " scn\n");
        }
    }
    appendAlpha(fill ? m_opacity * m_brush.color().alphaF() : 1,
                stroke ? m_opacity * m_pen.color().alphaF() : 1);
    const bool evenOdd = rule == Qt::OddEvenFill;
    if (stroke && fill) return evenOdd ? "B*\n" : "B\n";
    if (fill) return evenOdd ? "f*\n" : "f\n";
    return "S\n";
}

void PdfPaintEngine::appendPath(const QPainterPath& path) {
    QPointF subpathStart;
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            subpathStart = e;
            appendPoint(m_page, e.x, e.y, " m\n");
            break;
        case QPainterPath::LineToElement:
            appendPoint(m_page, e.x, e.y, " l\n");
            break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= count) return;
            const QPainterPath::Element& c2 = path.elementAt(i + 1);
            const QPainterPath::Element& end = path.elementAt(i + 2);
            appendPoint(m_page, e.x, e.y, " ");
            appendPoint(m_page, c2.x, c2.y, " ");
            appendPoint(m_page, end.x, end.y, " c\n");
            i += 2;
            break;
        }
        default:
            break;
        }
        const bool lastOfSubpath =
            i + 1 >= count || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
        if (lastOfSubpath && i > 0 && QPointF(path.elementAt(i)) == subpathStart)
            m_page.append("h\n");
    }
}

template <class Geometry>
void PdfPaintEngine::drawShape(bool closed, Qt::FillRule rule, Geometry&& geometry) {
    openDrawing();
    if (const char* paint = prepareShape(closed, rule)) {
        geometry();
        m_page.append(paint);
    }
    m_page.append("Q\n");
}

void PdfPaintEngine::drawPath(const QPainterPath& path) {
    drawShape(true, path.fillRule(), [&] { appendPath(path); });
}

void PdfPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
    if (count < 2) return;
    const bool closed = mode != PolylineMode;
    drawShape(closed, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill, [&] {
        appendPoint(m_page, points[0].x(), points[0].y(), " m\n");
        for (int i = 1; i < count; ++i)
            appendPoint(m_page, points[i].x(), points[i].y(), " l\n");
        if (closed) m_page.append("h\n");
    });
}

void PdfPaintEngine::drawRects(const QRectF* rects, int count) {
    drawShape(true, Qt::WindingFill, [&] {
        for (int i = 0; i < count; ++i) {
            appendPoint(m_page, rects[i].x(), rects[i].y(), " ");
            appendPoint(m_page, rects[i].width(), rects[i].height(), " re\n");
        }
    });
}

void PdfPaintEngine::drawLines(const QLineF* lines, int count) {
    drawShape(false, Qt::WindingFill, [&] {
        for (int i = 0; i < count; ++i) {
            appendPoint(m_page, lines[i].x1(), lines[i].y1(), " m ");
            appendPoint(m_page, lines[i].x2(), lines[i].y2(), " l\n");
        }
    });
}

int PdfPaintEngine::imageFor(const QImage& image) {
    if (const auto it = m_images.constFind(image.cacheKey()); it != m_images.cend())
        return it.value();
    const int width = image.width(), height = image.height();
    const bool alpha = image.hasAlphaChannel();
    // A scan is grey throughout: one byte a pixel instead of three.
    const bool grey = image.isGrayscale();
    const int channels = grey ? 1 : 3;
    QByteArray colours(qsizetype(width) * height * channels, Qt::Uninitialized);
    QByteArray opacity(alpha ? qsizetype(width) * height : 0, Qt::Uninitialized);
    char* colour = colours.data();
    char* opaque = opacity.data();
    bool translucent = false;
    // Converted a band of rows at a time: a picture at print resolution is not copied whole.
    constexpr int BandRows = 64;
    const QImage::Format bandFormat = alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const int step = alpha ? 4 : 3;
    for (int top = 0; top < height; top += BandRows) {
        const QImage band =
            image.copy(0, top, width, std::min(BandRows, height - top)).convertToFormat(bandFormat);
        for (int y = 0; y < band.height(); ++y) {
            const char* pixel = reinterpret_cast<const char*>(band.constScanLine(y));
            if (channels == step) { // colour without opacity: the row as it is
                colour = std::copy_n(pixel, qsizetype(width) * step, colour);
                continue;
            }
            for (int x = 0; x < width; ++x, pixel += step) {
                colour = std::copy_n(pixel, channels, colour); // red alone is the grey
                if (!alpha) continue;
                *opaque++ = pixel[3];
                translucent |= uchar(pixel[3]) != 255;
            }
        }
    }
    QByteArray entries("/Type /XObject /Subtype /Image /Width ");
    appendInteger(entries, width);
    entries.append(" /Height ");
    appendInteger(entries, height);
    entries.append(" /BitsPerComponent 8");
    const QByteArray greyEntries = entries + " /ColorSpace /DeviceGray";
    entries.append(grey ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB");
    if (translucent) {
        const int mask = m_writer.reserve();
        m_writer.stream(mask, greyEntries, opacity);
        entries.append(" /SMask ");
        appendInteger(entries, mask);
        entries.append(" 0 R");
    }
    const int id = m_writer.reserve();
    m_writer.stream(id, entries, colours);
    m_images.insert(image.cacheKey(), id);
    m_imageEntries += "/I" + QByteArray::number(id) + ' ' + QByteArray::number(id) + " 0 R ";
    return id;
}

void PdfPaintEngine::drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                               Qt::ImageConversionFlags) {
    if (image.isNull() || target.isEmpty()) return;
    const QImage part = source == QRectF(image.rect()) ? image : image.copy(source.toRect());
    if (part.isNull()) return;
    const int id = imageFor(part);
    openDrawing();
    appendAlpha(m_opacity, 1);
    appendMatrix(m_page, QTransform(target.width(), 0, 0, -target.height(), target.x(),
                                    target.y() + target.height()));
    m_page.append("/I" + QByteArray::number(id) + " Do\nQ\n");
}

void PdfPaintEngine::drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) {
    drawImage(target, pixmap.toImage(), source, Qt::AutoColor);
}

void PdfPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& textItem) {
    const auto& item = static_cast<const QTextItemInt&>(textItem);
    QFontEngine* engine = item.fontEngine;
    const QGlyphLayout& glyphs = item.glyphs;
    if (!engine || glyphs.numGlyphs == 0) return;
    const int font = engine->type() == QFontEngine::Multi ? -1 : m_fonts.fontFor(engine, m_writer);
    if (font < 0) {
        QPaintEngine::drawTextItem(origin, textItem); // outlines: seen right, not copied
        return;
    }
    const double size = engine->fontDef.pixelSize;
    if (size <= 0) return;
    const std::vector<QStringView> texts = glyphTexts(item);

    // Where each glyph goes, as Qt places them: right to left items from their far end.
    std::vector<Placed> placed;
    placed.reserve(size_t(glyphs.numGlyphs));
    const bool rightToLeft = item.flags & QTextItem::RightToLeft;
    QFixed x = QFixed::fromReal(origin.x());
    const QFixed y = QFixed::fromReal(origin.y());
    if (rightToLeft) {
        for (int i = 0; i < glyphs.numGlyphs; ++i)
            if (!glyphs.attributes[i].dontPrint)
                x += glyphs.advances[i] + QFixed::fromFixed(glyphs.justifications[i].space_18d6);
    }
    for (int i = 0; i < glyphs.numGlyphs; ++i) {
        if (glyphs.attributes[i].dontPrint) continue;
        if (rightToLeft) x -= glyphs.advances[i];
        const uint16_t cid = m_fonts.cid(font, glyphs.glyphs[i], texts[size_t(i)]);
        placed.push_back(
            {(x + glyphs.offsets[i].x).toReal(), (y + glyphs.offsets[i].y).toReal(), cid});
        if (rightToLeft)
            x -= QFixed::fromFixed(glyphs.justifications[i].space_18d6);
        else
            x += glyphs.advances[i] + QFixed::fromFixed(glyphs.justifications[i].space_18d6);
    }
    const QChar* chars = item.chars ? item.chars : nullptr;
    showGlyphs(font, size, engine->synthesized(), placed, m_matrix, m_pen.color(), m_opacity, chars,
               chars ? chars + item.num_chars : nullptr);
}

const PdfPaintEngine::NumberGlyphs& PdfPaintEngine::numberGlyphsOf(int font) {
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
    NumberGlyphs numbers;
    hb_font_t* shaping = m_fonts.shapingFont(font);
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
    unsigned count = 0;
    const hb_glyph_info_t* infos = nullptr;
    auto shape = [&](const uint16_t* characters, unsigned length) {
        shapeText(shaping, buffer, characters, int(length), false);
        infos = hb_buffer_get_glyph_infos(buffer, &count);
        return hb_buffer_get_glyph_positions(buffer, nullptr);
    };
    using N = NumberGlyphs;
    for (int i = 0; i < N::Count && numbers.plain; ++i)
        for (int j = 0; j < N::Count && numbers.plain; ++j) {
            const uint16_t pair[2] = {N::Characters[i], N::Characters[j]};
            const hb_glyph_position_t* at = shape(pair, 2);
            numbers.plain = count == 2 && !at[0].y_offset && !at[1].y_offset;
            if (numbers.plain)
                numbers.pair[i][j] = {at[0].x_advance - numbers.advance[i], at[0].x_offset,
                                      at[1].x_advance - numbers.advance[j], at[1].x_offset};
        }
    for (int i = 0; i < N::Count && numbers.plain; ++i)
        for (int j = 0; j < N::Count && numbers.plain; ++j)
            for (int k = 0; k < N::Count && numbers.plain; ++k) {
                const int index[3] = {i, j, k};
                const uint16_t triple[3] = {N::Characters[i], N::Characters[j], N::Characters[k]};
                const hb_glyph_position_t* at = shape(triple, 3);
                numbers.plain = count == 3;
                for (unsigned g = 0; g < 3 && numbers.plain; ++g) {
                    const N::Glyph expected = numbers.placed(g > 0 ? index[g - 1] : -1, index[g],
                                                             g < 2 ? index[g + 1] : -1);
                    numbers.plain = infos[g].codepoint == numbers.glyph[index[g]] &&
                                    at[g].x_advance == expected.advance &&
                                    at[g].x_offset == expected.offset && !at[g].y_offset;
                }
            }
    hb_buffer_destroy(buffer);
    if (!face.isEmpty()) {
        QMutexLocker locked(&probedLock);
        probed.insert(face, numbers);
    }
    return m_numberGlyphs.insert(font, numbers).value();
}

const PdfPaintEngine::Shaped* PdfPaintEngine::shapedText(int font, QStringView text,
                                                         bool rightToLeft) {
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
    hb_font_t* shaping = m_fonts.shapingFont(font);
    if (const NumberGlyphs& numbers = numberGlyphsOf(font); numbers.plain && !rightToLeft) {
        // Most texts of a report are numbers, each once: glyph by glyph when the font neither
        // joins nor kerns their characters.
        Shaped& shaped = m_scratch;
        shaped.glyphs.clear();
        bool number = true;
        int previous = -1;
        for (qsizetype i = 0; i < text.size() && number; ++i) {
            const int at = NumberGlyphs::indexOf(text[i]);
            const int next = i + 1 < text.size() ? NumberGlyphs::indexOf(text[i + 1]) : -1;
            number = at >= 0 && (i + 1 == text.size() || next >= 0);
            if (!number) break;
            const NumberGlyphs::Glyph placed = numbers.placed(previous, at, next);
            shaped.glyphs.push_back({m_fonts.cid(font, numbers.glyph[at], text.mid(i, 1)),
                                     placed.advance, placed.offset, 0});
            previous = at;
        }
        if (number) return &shaped;
    }
    for (const QChar c : text) {
        hb_codepoint_t glyph = 0;
        if (!hb_font_get_nominal_glyph(shaping, c.unicode(), &glyph)) return nullptr;
    }
    if (!m_shaping) m_shaping = hb_buffer_create();
    shapeText(shaping, m_shaping, reinterpret_cast<const uint16_t*>(text.utf16()), int(text.size()),
              rightToLeft);
    // In the text's order, as Qt keeps glyphs.
    if (rightToLeft) hb_buffer_reverse(m_shaping);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(m_shaping, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(m_shaping, nullptr);

    Shaped shaped;
    shaped.glyphs.resize(count);
    unsigned start = 0;
    while (start < count) {
        const unsigned cluster = infos[start].cluster;
        unsigned end = start + 1;
        while (end < count && infos[end].cluster == cluster)
            ++end;
        const unsigned nextCharacter = end < count ? infos[end].cluster : unsigned(text.size());
        const unsigned characters = nextCharacter > cluster ? nextCharacter - cluster : 0;
        assignCluster(int(end - start), text.mid(cluster, characters),
                      [&](int k, QStringView copied) {
                          const unsigned i = start + unsigned(k);
                          shaped.glyphs[i] = {m_fonts.cid(font, infos[i].codepoint, copied),
                                              positions[i].x_advance, positions[i].x_offset,
                                              positions[i].y_offset};
                      });
        start = end;
    }
    if (key.isEmpty()) {
        m_scratch = std::move(shaped);
        return &m_scratch;
    }
    if (m_shaped.size() >= Kept) m_shaped.clear();
    return &m_shaped.insert(key, std::move(shaped)).value();
}

bool PdfPaintEngine::drawPlainText(const QTransform& world, const QPointF& origin,
                                   const QFont& font, const QColor& color, QStringView text,
                                   bool rightToLeft) {
    // The font Qt would draw the text's script with, as it would choose it.
    QChar::Script script = QChar::Script_Common;
    for (const QChar c : text)
        if (c.script() > QChar::Script_Inherited) {
            script = c.script();
            break;
        }
    QFontEngine* engine = QFontPrivate::get(font)->engineForScript(script);
    if (engine && engine->type() == QFontEngine::Multi)
        engine = static_cast<QFontEngineMulti*>(engine)->engine(0);
    if (!engine) return false;
    const int index = m_fonts.fontFor(engine, m_writer);
    const double size = engine->fontDef.pixelSize;
    if (index < 0 || size <= 0) return false;
    const Shaped* shaped = shapedText(index, text, rightToLeft);
    if (!shaped) return false;

    // Advances are in font units, kept to the 1/64 steps Qt keeps them in; right-to-left
    // glyphs are placed from the far end, as Qt places them.
    const double unit = size / m_fonts.unitsPerEm(index);
    auto fixed = [](double v) { return std::round(v * 64) / 64; };
    double x = fixed(origin.x());
    const double y = fixed(origin.y());
    if (rightToLeft)
        for (const ShapedGlyph& g : shaped->glyphs)
            x += fixed(g.advance * unit);
    std::vector<Placed> placed(shaped->glyphs.size());
    for (size_t i = 0; i < placed.size(); ++i) {
        const ShapedGlyph& g = shaped->glyphs[i];
        const double advance = fixed(g.advance * unit);
        if (rightToLeft) x -= advance;
        placed[i] = {x + fixed(g.xOffset * unit), y - fixed(g.yOffset * unit), g.cid};
        if (!rightToLeft) x += advance;
    }
    flushTexts();
    showGlyphs(index, size, engine->synthesized(), placed, world, color, 1, nullptr, nullptr);
    return true;
}

void PdfPaintEngine::showGlyphs(int font, double size, int synthesized,
                                const std::vector<Placed>& placed, const QTransform& world,
                                const QColor& color, double opacity, const QChar* begin,
                                const QChar* end) {
    if (placed.empty()) return;
    // Shown in the order they were typed, right-to-left text too: text extraction that follows
    // the content (rather than sorting glyphs by position) then reads it as written. The piece
    // goes into a buffer of its own, held until the text's other pieces are in. Texts are
    // most of a report's content, so this is written into a plain string, with the painter's
    // matrix in each line's text matrix rather than a saved state of its own.
    thread_local std::string out;
    out.clear();
    const bool ownState =
        m_clipped || opacity * color.alphaF() < 1 || (synthesized & QFontEngine::SynthesizedBold);
    if (ownState) {
        // Rare: a saved state for the clip, the transparency or the outline of a made-up bold.
        QByteArray state;
        m_page.swap(state);
        openState(QTransform());
        appendAlpha(opacity * color.alphaF(), 1);
        if (synthesized & QFontEngine::SynthesizedBold) {
            appendColor(color, true);
            appendNumber(m_page, size / 30 * std::sqrt(std::fabs(world.determinant())));
            m_page.append(" w 2 Tr\n");
        }
        m_page.swap(state);
        out.append(state.constData(), size_t(state.size()));
    }
    out.append("BT\n/F");
    appendInteger(out, font);
    out.push_back(' ');
    appendNumber(out, size);
    out.append(" Tf\n");
    pdf::appendColor(out, color, false);
    const double skew = synthesized & QFontEngine::SynthesizedItalic ? 0.2 : 0;
    // The line's text matrix [1 0 skew -1 x y] followed by the painter's matrix.
    const double a = world.m11(), b = world.m12();
    const double c = skew * world.m11() - world.m21(), d = skew * world.m12() - world.m22();

    bool open = false, inHex = false;
    double penX = 0, lineY = 0;
    for (const Placed& g : placed) {
        if (!open || std::fabs(g.y - lineY) > 1e-3) {
            if (open) out.append(inHex ? ">] TJ\n" : "] TJ\n");
            for (double v : {a, b, c, d}) {
                appendNumber(out, v, 5);
                out.push_back(' ');
            }
            const QPointF at = world.map(QPointF(g.x, g.y));
            appendNumber(out, at.x());
            out.push_back(' ');
            appendNumber(out, at.y());
            out.append(" Tm [");
            open = true;
            inHex = false;
            penX = g.x;
            lineY = g.y;
        }
        const double adjust = (penX - g.x) * 1000 / size;
        if (std::fabs(adjust) > 0.05) {
            if (inHex) out.push_back('>');
            appendNumber(out, adjust, 1);
            inHex = false;
        }
        if (!inHex) out.push_back('<');
        inHex = true;
        appendHex16(out, g.cid);
        penX = g.x + m_fonts.advance(font, g.cid) * size / 1000;
    }
    out.append(inHex ? ">] TJ\nET\n" : "] TJ\nET\n");
    if (ownState) out.append("Q\n");
    // A whole text needs no holding back.
    if (!begin)
        m_page.append(out.data(), qsizetype(out.size()));
    else
        m_texts.push_back({begin, end, QByteArray(out.data(), qsizetype(out.size()))});
}

} // namespace palvex::pdf
