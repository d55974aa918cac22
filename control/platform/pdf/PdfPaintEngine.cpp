#include "PdfPaintEngine.h"

#include "PdfDocument.h"
#include "PdfSyntax.h"
#include "QtText.h"
#include "TextDirection.h"

#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace palvex::pdf {

PdfPaintEngine::PdfPaintEngine(PdfDocument& document)
    : QPaintEngine(AllFeatures & ~(BlendModes | RasterOpModes | PorterDuff)), m_document(document) {
}

bool PdfPaintEngine::begin(QPaintDevice*) {
    return m_document.ok();
}

bool PdfPaintEngine::end() {
    m_document.content().releaseHeld();
    return m_document.ok();
}

void PdfPaintEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    if (flags & DirtyTransform) m_matrix = state.transform();
    if (flags & DirtyPen) m_pen = state.pen();
    if (flags & DirtyBrush) m_brush = state.brush();
    if (flags & DirtyOpacity) m_opacity = state.opacity();
    if (flags & DirtyClipEnabled) m_clipped = state.isClipEnabled();
    if (flags & (DirtyClipPath | DirtyClipRegion)) updateClip(state);
}

void PdfPaintEngine::updateClip(const QPaintEngineState& state) {
    QPainterPath path;
    if (state.state() & DirtyClipPath)
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

void PdfPaintEngine::openDrawing() {
    m_document.content().releaseHeld();
    openState(m_matrix);
}

void PdfPaintEngine::openState(const QTransform& world) {
    ContentStream& content = m_document.content();
    content.save();
    if (m_clipped) content.clip(m_clip);
    content.transform(world);
}

void PdfPaintEngine::alpha(double fill, double stroke) {
    const QByteArray state = m_document.resources().alphaState(fill, stroke);
    if (!state.isEmpty()) m_document.content().raw(state + " gs\n");
}

void PdfPaintEngine::preparePen() {
    ContentStream& content = m_document.content();
    // A cosmetic pen is measured in device pixels whatever the painter's scale.
    const double scale = std::sqrt(std::fabs(m_matrix.determinant()));
    double width = m_pen.widthF();
    if (m_pen.isCosmetic()) width = std::max(1.0, width) / (scale > 0 ? scale : 1);
    content.number(width);
    content.raw(" w ");
    content.raw(m_pen.capStyle() == Qt::RoundCap    ? "1 J "
                : m_pen.capStyle() == Qt::SquareCap ? "2 J "
                                                    : "0 J ");
    content.raw(m_pen.joinStyle() == Qt::RoundJoin   ? "1 j "
                : m_pen.joinStyle() == Qt::BevelJoin ? "2 j "
                                                     : "0 j ");
    if (m_pen.style() != Qt::SolidLine) {
        const double unit = std::max(width, m_pen.isCosmetic() ? width : 1.0 / scale);
        content.raw("[");
        for (double dash : m_pen.dashPattern()) {
            content.number(dash * unit);
            content.raw(" ");
        }
        content.raw("] ");
        content.number(m_pen.dashOffset() * unit);
        content.raw(" d ");
    }
    content.color(m_pen.color(), true);
}

const char* PdfPaintEngine::prepareShape(bool closed, Qt::FillRule rule) {
    const bool stroke = m_pen.style() != Qt::NoPen && m_pen.color().alpha() > 0;
    const Qt::BrushStyle style = m_brush.style();
    const bool fill = closed && (style == Qt::SolidPattern || PdfResources::hatchOf(style)) &&
                      m_brush.color().alpha() > 0;
    if (!stroke && !fill) return nullptr;
    if (stroke) preparePen();
    if (fill && style == Qt::SolidPattern) m_document.content().color(m_brush.color(), false);
    if (fill && style != Qt::SolidPattern)
        m_document.content().raw("/Pattern cs " + m_document.resources().pattern(m_brush) +
                                 " scn\n");
    alpha(fill ? m_opacity * m_brush.color().alphaF() : 1,
          stroke ? m_opacity * m_pen.color().alphaF() : 1);
    const bool evenOdd = rule == Qt::OddEvenFill;
    if (stroke && fill) return evenOdd ? "B*\n" : "B\n";
    if (fill) return evenOdd ? "f*\n" : "f\n";
    return "S\n";
}

template <class Geometry>
void PdfPaintEngine::drawShape(bool closed, Qt::FillRule rule, Geometry&& geometry) {
    if (clippedAway()) return;
    openDrawing();
    if (const char* paint = prepareShape(closed, rule)) {
        geometry(m_document.content());
        m_document.content().raw(paint);
    }
    m_document.content().restore();
}

void PdfPaintEngine::drawPath(const QPainterPath& path) {
    drawShape(true, path.fillRule(), [&](ContentStream& content) { content.path(path); });
}

void PdfPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
    if (count < 2) return;
    const bool closed = mode != PolylineMode;
    drawShape(closed, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill,
              [&](ContentStream& content) {
                  content.moveTo(points[0]);
                  for (int i = 1; i < count; ++i)
                      content.lineTo(points[i]);
                  if (closed) content.closePath();
              });
}

void PdfPaintEngine::drawRects(const QRectF* rects, int count) {
    drawShape(true, Qt::WindingFill, [&](ContentStream& content) {
        for (int i = 0; i < count; ++i)
            content.rectangle(rects[i]);
    });
}

void PdfPaintEngine::drawLines(const QLineF* lines, int count) {
    drawShape(false, Qt::WindingFill, [&](ContentStream& content) {
        for (int i = 0; i < count; ++i)
            content.line(lines[i].p1(), lines[i].p2());
    });
}

void PdfPaintEngine::drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                               Qt::ImageConversionFlags) {
    if (image.isNull() || target.isEmpty() || clippedAway()) return;
    const QImage part = source == QRectF(image.rect()) ? image : image.copy(source.toRect());
    if (part.isNull()) return;
    const QByteArray name = m_document.resources().image(part);
    openDrawing();
    alpha(m_opacity, 1);
    m_document.content().drawObject(name, QTransform(target.width(), 0, 0, -target.height(),
                                                     target.x(), target.y() + target.height()));
    m_document.content().restore();
}

void PdfPaintEngine::drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) {
    drawImage(target, pixmap.toImage(), source, Qt::AutoColor);
}

void PdfPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& textItem) {
    if (clippedAway()) return;
    const std::optional<std::vector<ShapedRun>> runs = shapedItem(origin, textItem);
    if (!runs) return;
    for (const ShapedRun& run : *runs) {
        // A piece of blanks Qt draws in the line's first font while the rest comes from another
        // shows nothing; left out, the words around it stay one run in one font, and readers
        // find the word break by the gap.
        if (isBlankText(QStringView(run.begin, run.end))) {
            m_document.content().holdBlank(run.begin, run.end);
            continue;
        }
        const int font =
            run.font.pixelSize > 0
                ? m_document.resources().fonts().fontFor(run.font.source, m_document.writer())
                : -1;
        if (font < 0 || run.missing)
            drawOutline(run, font);
        else
            drawRun(run, font);
    }
}

TextState PdfPaintEngine::textState(const GlyphStyle& style) {
    TextState state;
    if (m_clipped) state.clip = &m_clip;
    state.alpha = m_document.resources().alphaState(m_opacity * style.color.alphaF(), 1);
    if (style.syntheticBold)
        state.boldOutline = style.size / 30 * std::sqrt(std::fabs(m_matrix.determinant()));
    return state;
}

void PdfPaintEngine::drawRun(const ShapedRun& run, int font) {
    PdfFonts& fonts = m_document.resources().fonts();
    std::vector<PlacedGlyph> placed;
    placed.reserve(run.glyphs.size());
    for (const ShapedRun::Glyph& g : run.glyphs) {
        const PdfFonts::GlyphNumbers numbers =
            fonts.numbers(font, g.glyph, g.text, run.rightToLeft);
        placed.push_back({g.x, g.y, numbers.glyph});
        if (numbers.points) placed.push_back({g.x, g.y, numbers.points});
    }
    const GlyphStyle style{
        font,          run.font.pixelSize, run.font.syntheticBold, run.font.syntheticItalic,
        m_pen.color(), m_opacity,          run.rightToLeft};
    m_document.content().showGlyphs(fonts, style, placed, m_matrix, textState(style), run.begin,
                                    run.end);
}

void PdfPaintEngine::drawOutline(const ShapedRun& run, int font) {
    // The shapes Qt draws for the glyphs: a font that cannot be embedded is seen, not copied; a
    // glyph no font has shows the box the preview shows rather than the font's .notdef, which a
    // PDF may not draw, and copies back as its characters.
    const QPainterPath outline = outlineOf(run);
    const QColor color = m_pen.color();
    ContentStream piece;
    const bool spoken = run.missing && run.end > run.begin;
    if (spoken)
        piece.raw("/Span << /ActualText " + textString(QStringView(run.begin, run.end).toString()) +
                  " >> BDC\n");
    if (!outline.isEmpty()) { // a font's .notdef may be blank
        piece.save();
        if (m_clipped) piece.clip(m_clip);
        const QByteArray alphaState =
            m_document.resources().alphaState(m_opacity * color.alphaF(), 1);
        if (!alphaState.isEmpty()) piece.raw(alphaState + " gs\n");
        piece.transform(m_matrix);
        piece.color(color, false);
        piece.path(outline);
        piece.raw("f\n");
        piece.restore();
    }
    if (run.missing && font >= 0) {
        // And a blank that copies back as each character, for readers that do not read the
        // span's text: the font's space, stretched to the box's width so that no reader takes
        // the rest of the box for a gap between words.
        PdfFonts& fonts = m_document.resources().fonts();
        const GlyphStyle style{font, run.font.pixelSize, false, false, color, m_opacity};
        for (const ShapedRun::Glyph& g : run.glyphs) {
            const uint16_t blank = fonts.blankCarrying(font, g.text);
            const double width = fonts.advance(font, blank) * style.size / 1000;
            if (blank == 0 || width <= 0 || g.advance <= 0) continue;
            piece.save();
            piece.number(100 * g.advance / width);
            piece.raw(" Tz\n");
            piece.showGlyphs(fonts, style, {{g.x, g.y, blank}}, m_matrix, textState(style), nullptr,
                             nullptr);
            piece.restore();
        }
    }
    if (spoken) piece.raw("EMC\n");
    const double left = run.glyphs.empty() ? 0 : m_matrix.map(QPointF(run.glyphs.front().x, 0)).x();
    m_document.content().showContent(piece.take(), run.begin, run.end, left);
}

} // namespace palvex::pdf
