#pragma once

#include <QByteArray>
#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QTransform>

#include <vector>

namespace palvex::pdf {

class PdfFonts;

// A glyph placed in the painter's coordinates, by the number the document's font gives it.
struct PlacedGlyph {
    double x, y;
    uint16_t cid;
};

// How one run of glyphs is shown: its font, size and colour, and what the font engine made up.
struct GlyphStyle {
    int font = -1;
    double size = 0;
    bool syntheticBold = false, syntheticItalic = false;
    QColor color;
    double opacity = 1;
    bool rightToLeft = false; // the glyphs come in the order of their characters, right to left
};

// What a text run needs of a saved state of its own: the clip (in device pixels), a
// transparency state's name, the outline width of a made-up bold.
struct TextState {
    const QPainterPath* clip = nullptr;
    QByteArray alpha;
    double boldOutline = 0; // 0: no outline
};

// The content of one page: the operators that draw, in the order they are written, and the
// marked-content brackets that say what the drawing is. Text is written in visual order, left to
// right, as readers that rebuild the reading order expect (see showGlyphs).
class ContentStream {
public:
    void start(const QTransform& base);
    // The page's content, leaving the stream empty.
    QByteArray take();
    bool isEmpty() const { return m_page.isEmpty(); }

    void save() { m_page.append("q\n"); }
    void restore() { m_page.append("Q\n"); }
    void clip(const QPainterPath& path);
    void transform(const QTransform& m);
    void path(const QPainterPath& path);
    void moveTo(const QPointF& p);
    void lineTo(const QPointF& p);
    void line(const QPointF& from, const QPointF& to);
    void rectangle(const QRectF& r);
    void closePath() { m_page.append("h\n"); }
    void color(const QColor& color, bool stroke);
    // An operator or a few, written as they are ("f\n", "/A1 gs\n").
    void raw(const QByteArray& operators) { m_page.append(operators); }
    void raw(const char* operators) { m_page.append(operators); }
    void number(double value, int decimals = 3);
    void drawObject(const QByteArray& name, const QTransform& placement);

    // Glyphs left to right, each line of them in one TJ, in a saved state of their own when
    // `state` asks for one. With `pieceOf` the run is one piece of a text whose characters lie
    // at [pieceOf, pieceEnd) and is held back until the text is whole.
    void showGlyphs(const PdfFonts& fonts, const GlyphStyle& style,
                    const std::vector<PlacedGlyph>& glyphs, const QTransform& world,
                    const TextState& state, const QChar* pieceOf, const QChar* pieceEnd);
    // A piece of a text that shows nothing, held so the pieces around it still make one text.
    void holdBlank(const QChar* pieceOf, const QChar* pieceEnd) {
        m_held.push_back({pieceOf, pieceEnd, {}, false, 0, -1});
    }
    // Content already written out (a shape standing for characters), as showGlyphs places a
    // run; its `left` end on the page as showGlyphs measures it.
    void showContent(const QByteArray& content, const QChar* pieceOf, const QChar* pieceEnd,
                     double left) {
        place(content.constData(), size_t(content.size()), pieceOf, pieceEnd, left, Shapes);
    }
    // Writes the pieces held back. The pieces of one text in one font go left to right (Qt
    // draws a right-to-left line's pieces from the right), so readers take them as one run; in
    // several fonts, which readers take as runs apart, in the order of their characters. Pieces
    // of several texts go as they were drawn. The English ones of a mixed text each go in a Span
    // of its own when asked to (setMarkEnglishPieces).
    void releaseHeld();

    // In a document of another language, the English pieces of a mixed text are each marked
    // so, in a Span of their own inside the text's sequence.
    void setMarkEnglishPieces(bool on) { m_markEnglishPieces = on; }

    // Marked content: `tag` with a property list ("<< /MCID 3 >>"), or without one.
    void beginMarked(const QByteArray& tag, const QByteArray& properties);
    void endMarked();

private:
    static constexpr int Shapes = -2; // the font of a piece drawn as shapes
    void place(const char* content, size_t size, const QChar* pieceOf, const QChar* pieceEnd,
               double left, int font);

    QByteArray m_page;
    // Where a piece's characters lay (compared, never read: the text may be gone when the
    // pieces are written), its content, and whether it reads in English.
    struct HeldPiece {
        const QChar* begin;
        const QChar* end;
        QByteArray content;
        bool english = false;
        double left = 0; // where its glyphs begin on the page, from the left
        int font = -1;   // -1 for a blank piece, Shapes for one drawn as shapes
    };
    std::vector<HeldPiece> m_held;
    bool m_markEnglishPieces = false;
};

} // namespace palvex::pdf
