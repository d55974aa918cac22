#pragma once

#include <QBrush>
#include <QByteArray>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

namespace palvex::pdf {

class PdfDocument;
struct ShapedRun;
struct GlyphStyle;
struct TextState;

// Turns QPainter's calls into the page content of a PdfDocument: paths, images and text with
// the glyphs Qt shaped, each glyph copying back as the characters it was drawn for.
class PdfPaintEngine final : public QPaintEngine {
public:
    explicit PdfPaintEngine(PdfDocument& document);

    bool begin(QPaintDevice* device) override;
    bool end() override;

    void updateState(const QPaintEngineState& state) override;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF& origin, const QTextItem& item) override;
    Type type() const override { return Type(User + 16); }

private:
    void updateClip(const QPaintEngineState& state);
    // A clip without area: Qt paints nothing through it, and neither does the page (a reader may
    // let a pixel through an empty clip).
    bool clippedAway() const { return m_clipped && m_clip.isEmpty(); }
    // "q", the clip, the painter's matrix; the caller closes with "Q". Text pieces held back
    // are written first.
    void openDrawing();
    void openState(const QTransform& world);
    // The pen and brush set up for a shape; the operator that paints it, or nullptr for none.
    const char* prepareShape(bool closed, Qt::FillRule rule);
    void preparePen();
    void alpha(double fill, double stroke);
    // A shape in its own saved state, painted with the pen and brush; `geometry` writes it.
    template <class Geometry> void drawShape(bool closed, Qt::FillRule rule, Geometry&& geometry);
    // A run of a text item in its embedded font (`font`), or as the shapes of its glyphs.
    void drawRun(const ShapedRun& run, int font);
    void drawOutline(const ShapedRun& run, int font);
    // The clip, transparency and made-up bold of text drawn now in `style`.
    TextState textState(const GlyphStyle& style);

    PdfDocument& m_document;
    QTransform m_matrix;
    QPen m_pen;
    QBrush m_brush;
    double m_opacity = 1;
    QPainterPath m_clip; // in device pixels
    bool m_clipped = false;
};

} // namespace palvex::pdf
