#pragma once

#include "core/DocumentProperties.h"
#include "PdfFonts.h"
#include "PdfPaintDevice.h"
#include "PdfWriter.h"
#include "PageCompressor.h"

#include <QBrush>
#include <QByteArray>
#include <QHash>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <vector>

struct hb_buffer_t;

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
    // A text of one direction (see PlainText.h) set at `origin` (the baseline's left end, in the
    // coordinates `world` maps to the device) with the primary font Qt chose for `font`, shaped
    // by HarfBuzz as Qt shapes it, without Qt's layout. False, drawing nothing, when the font
    // lacks a character, so the text needs Qt's font fallback.
    bool drawPlainText(const QTransform& world, const QPointF& origin, const QFont& font,
                       const QColor& color, QStringView text, bool rightToLeft);
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
    void openState(const QTransform& world);
    // The pen and brush set up for a shape; the operator that paints it, or nullptr for none.
    const char* prepareShape(bool closed, Qt::FillRule rule);
    void appendPath(const QPainterPath& path);
    // A shape in its own saved state, painted with the pen and brush; `geometry` writes it.
    template <class Geometry> void drawShape(bool closed, Qt::FillRule rule, Geometry&& geometry);
    void appendColor(const QColor& color, bool stroke);
    void appendAlpha(double fill, double stroke);
    QByteArray patternFor(const QBrush& brush);
    struct Placed {
        double x, y;
        uint16_t cid;
    };
    // Shows glyphs placed in the painter's coordinates; held back as one piece of a text.
    void showGlyphs(int font, double size, int synthesized, const std::vector<Placed>& placed,
                    const QTransform& world, const QColor& color, double opacity,
                    const QChar* begin, const QChar* end);
    int imageFor(const QImage& image);

    PdfPageGeometry m_geometry;
    int m_resolution;
    PdfWriter m_writer;
    PdfFonts m_fonts;
    QByteArray m_page;
    int m_pageContents = 0;
    PageCompressor m_compressor;

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

    hb_buffer_t* m_shaping = nullptr; // reused for every plain text
    struct ShapedGlyph {
        uint16_t cid;
        int32_t advance, xOffset, yOffset; // font units
    };
    struct Shaped {
        std::vector<ShapedGlyph> glyphs; // in the text's order
    };
    // A plain text's glyphs in a document font, or nullptr when the font lacks a character.
    const Shaped* shapedText(int font, QStringView text, bool rightToLeft);
    QHash<QString, Shaped> m_shaped; // by font, direction and text
    Shaped m_scratch;                // a text shaped without being kept: too long, or a number
    // A font's glyphs for the characters of numbers, and whether it sets them one by one.
    struct NumberGlyphs {
        static constexpr int Count = 13;
        static constexpr char16_t Characters[Count] = {u'0', u'1', u'2', u'3', u'4', u'5', u'6',
                                                       u'7', u'8', u'9', u',', u'.', u'-'};
        static int indexOf(QChar c) {
            const char16_t u = c.unicode();
            if (u >= u'0' && u <= u'9') return u - u'0';
            return u == u',' ? 10 : u == u'.' ? 11 : u == u'-' ? 12 : -1;
        }
        struct Pair {
            int32_t firstAdvance = 0, firstOffset = 0, secondAdvance = 0, secondOffset = 0;
        };
        struct Glyph {
            int32_t advance, offset;
        };
        // A glyph between its neighbours (-1 for none), as its two pairs place it.
        Glyph placed(int before, int at, int after) const {
            Glyph g{advance[at], 0};
            if (before >= 0) {
                g.advance += pair[before][at].secondAdvance;
                g.offset += pair[before][at].secondOffset;
            }
            if (after >= 0) {
                g.advance += pair[at][after].firstAdvance;
                g.offset += pair[at][after].firstOffset;
            }
            return g;
        }
        bool plain = false;
        uint32_t glyph[Count] = {};
        int32_t advance[Count] = {};
        Pair pair[Count][Count];
    };
    const NumberGlyphs& numberGlyphsOf(int font);
    QHash<int, NumberGlyphs> m_numberGlyphs;

    QHash<qint64, int> m_images; // by QImage::cacheKey
    QHash<QByteArray, QByteArray> m_patterns; // by style and colour → its name
    QHash<QByteArray, QByteArray> m_alphaStates;
    QByteArray m_imageEntries, m_patternEntries, m_stateEntries;
};

} // namespace palvex::pdf
