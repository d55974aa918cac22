#pragma once

#include "PdfDocumentProperties.h"
#include "PdfFonts.h"
#include "PdfPaintDevice.h"
#include "PdfWriter.h"

#include <QBrush>
#include <QByteArray>
#include <QHash>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <deque>
#include <future>
#include <vector>

namespace palvex::pdf {

// Turns QPainter's calls into PDF content: paths, images and text with the glyphs Qt shaped,
// each glyph copying back as the characters it was drawn for. Pages are compressed on other
// threads while the next is drawn, and only a few wait at any time, so memory stays flat.
class PdfPaintEngine final : public QPaintEngine {
public:
    PdfPaintEngine(QIODevice& out, PdfPageGeometry geometry, int resolution,
                   DocumentProperties properties);
    ~PdfPaintEngine() override;

    bool begin(QPaintDevice* device) override;
    bool end() override;
    bool newPage();

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
    void beginPage();
    void endPage();
public:
    // Writes the text items held back, in the order of their characters when they are the
    // pieces of one text (Qt draws a line's pieces in visual order). Called as each text ends;
    // any other drawing and the page's end write them first too.
    void flushTexts();

private:
    void writeFinishedPages(size_t keepWaiting);
    // "q", the clip, the painter's matrix; the caller closes with "Q". openDrawing() first
    // writes the text items held back.
    void openDrawing();
    void openState();
    // The pen and brush set up for a shape; the operator that paints it, or nullptr for none.
    const char* prepareShape(bool closed, Qt::FillRule rule);
    void appendPath(const QPainterPath& path);
    void appendColor(const QColor& color, bool stroke);
    void appendAlpha(double fill, double stroke);
    QByteArray patternFor(const QBrush& brush);
    int imageFor(const QImage& image);

    PdfPageGeometry m_geometry;
    int m_resolution;
    PdfWriter m_writer;
    PdfFonts m_fonts;
    QByteArray m_page;
    int m_pageContents = 0;
    struct Compressing {
        int contentsId;
        std::future<QByteArray> deflated;
    };
    std::deque<Compressing> m_compressing;

    struct HeldText {
        const QChar* begin;
        const QChar* end;
        QByteArray content;
    };
    std::vector<HeldText> m_texts;

    QTransform m_matrix;
    QPen m_pen;
    QBrush m_brush;
    double m_opacity = 1;
    QPainterPath m_clip; // in device pixels
    bool m_clipped = false;

    QHash<qint64, int> m_images; // by QImage::cacheKey
    QHash<QByteArray, QByteArray> m_patterns; // by style and colour → its name
    QHash<QByteArray, QByteArray> m_alphaStates;
    QByteArray m_imageEntries, m_patternEntries, m_stateEntries;
};

} // namespace palvex::pdf
