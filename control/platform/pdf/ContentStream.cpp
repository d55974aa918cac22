#include "ContentStream.h"

#include "PdfFonts.h"
#include "PdfSyntax.h"
#include "TextDirection.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace palvex::pdf {

namespace {

template <class Buffer> void appendPoint(Buffer& out, double x, double y, const char* op) {
    appendNumber(out, x);
    out.append(" ");
    appendNumber(out, y);
    out.append(op);
}

template <class Buffer> void appendColor(Buffer& out, const QColor& color, bool stroke) {
    const QColor rgb = color.toRgb();
    appendNumber(out, rgb.redF());
    out.append(" ");
    appendNumber(out, rgb.greenF());
    out.append(" ");
    appendNumber(out, rgb.blueF());
    out.append(stroke ? " RG\n" : " rg\n");
}

void appendMatrix(QByteArray& out, const QTransform& m) {
    for (double v : {m.m11(), m.m12(), m.m21(), m.m22()}) {
        appendNumber(out, v, 5);
        out.append(' ');
    }
    appendPoint(out, m.dx(), m.dy(), " cm\n");
}

// Opens the line's text matrix [1 0 skew -1 x y] followed by the painter's matrix, at `at`.
void openLine(std::string& out, const double (&abcd)[4], const QPointF& at) {
    for (double v : abcd) {
        appendNumber(out, v, 5);
        out.push_back(' ');
    }
    appendPoint(out, at.x(), at.y(), " Tm [");
}

} // namespace

void ContentStream::start(const QTransform& base) {
    m_page.clear();
    m_page.reserve(64 * 1024);
    m_held.clear();
    appendMatrix(m_page, base);
}

QByteArray ContentStream::take() {
    releaseHeld();
    QByteArray page;
    page.swap(m_page);
    return page;
}

void ContentStream::clip(const QPainterPath& clipPath) {
    // A clip without area lets nothing through, as Qt paints nothing through it; "W" needs a path.
    if (clipPath.isEmpty()) {
        m_page.append("0 0 0 0 re W n\n");
        return;
    }
    path(clipPath);
    m_page.append(clipPath.fillRule() == Qt::OddEvenFill ? "W* n\n" : "W n\n");
}

void ContentStream::transform(const QTransform& m) {
    if (!m.isIdentity()) appendMatrix(m_page, m);
}

void ContentStream::moveTo(const QPointF& p) {
    appendPoint(m_page, p.x(), p.y(), " m\n");
}

void ContentStream::lineTo(const QPointF& p) {
    appendPoint(m_page, p.x(), p.y(), " l\n");
}

void ContentStream::line(const QPointF& from, const QPointF& to) {
    appendPoint(m_page, from.x(), from.y(), " m ");
    appendPoint(m_page, to.x(), to.y(), " l\n");
}

void ContentStream::rectangle(const QRectF& r) {
    appendPoint(m_page, r.x(), r.y(), " ");
    appendPoint(m_page, r.width(), r.height(), " re\n");
}

void ContentStream::color(const QColor& c, bool stroke) {
    appendColor(m_page, c, stroke);
}

void ContentStream::number(double value, int decimals) {
    appendNumber(m_page, value, decimals);
}

void ContentStream::drawObject(const QByteArray& name, const QTransform& placement) {
    appendMatrix(m_page, placement);
    m_page.append(name + " Do\n");
}

void ContentStream::path(const QPainterPath& p) {
    QPointF subpathStart;
    const int count = p.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& e = p.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            subpathStart = e;
            moveTo(e);
        } else if (e.type == QPainterPath::LineToElement) {
            lineTo(e);
        } else if (e.type == QPainterPath::CurveToElement) {
            if (i + 2 >= count) return;
            const QPainterPath::Element& c2 = p.elementAt(i + 1);
            const QPainterPath::Element& end = p.elementAt(i + 2);
            appendPoint(m_page, e.x, e.y, " ");
            appendPoint(m_page, c2.x, c2.y, " ");
            appendPoint(m_page, end.x, end.y, " c\n");
            i += 2;
        }
        const bool lastOfSubpath =
            i + 1 >= count || p.elementAt(i + 1).type == QPainterPath::MoveToElement;
        if (lastOfSubpath && i > 0 && QPointF(p.elementAt(i)) == subpathStart) closePath();
    }
}

namespace {

// A saved state's opening for a text run: its clip, its transparency, a made-up bold's outline.
QByteArray openingOf(const TextState& state, const QColor& color) {
    ContentStream opening;
    opening.save();
    if (state.clip) opening.clip(*state.clip);
    if (!state.alpha.isEmpty()) opening.raw(state.alpha + " gs\n");
    if (state.boldOutline > 0) {
        opening.color(color, true);
        opening.number(state.boldOutline);
        opening.raw(" w 2 Tr\n");
    }
    return opening.take();
}

void appendFontSize(std::string& out, const GlyphStyle& style, int slot) {
    appendFontName(out, style.font, slot);
    out.push_back(' ');
    appendNumber(out, style.size);
    out.append(" Tf\n");
}

// The glyphs, a TJ for each line of them, the painter's matrix in each line's text matrix
// (with the skew of a made-up italic) rather than in a saved state of its own. A font of
// one-byte codes changes from `slot` to others between TJs, the pen staying where the last
// one left it.
// Where a word after a space begins. pdf.js ends a run at a gap wider than 0.6 em, and a
// right-to-left line then falls apart into its words in the order they are shown; the space of
// a monospaced font is 0.6 em give or take a rounding. Such a word is set a hair closer (under
// 0.02 em, a fiftieth of a letter), which nobody sees.
double readableWordGap(double inkEnd, double x, double size) {
    const double gap = (x - inkEnd) / size;
    return gap > 0.599 && gap < 0.62 ? inkEnd + 0.599 * size : x;
}

void appendGlyphLines(std::string& out, const PdfFonts& fonts, const GlyphStyle& style,
                      const std::vector<PlacedGlyph>& glyphs, const QTransform& world, int slot) {
    const double skew = style.syntheticItalic ? 0.2 : 0;
    const double abcd[4] = {world.m11(), world.m12(), skew * world.m11() - world.m21(),
                            skew * world.m12() - world.m22()};
    const bool oneByte = fonts.codeBytes(style.font) == 1;
    bool open = false, inHex = false;
    double penX = 0, lineY = 0;
    bool ink = false, blankSince = false; // a glyph that shows something; a space after it
    double inkEnd = 0;
    const size_t count = glyphs.size();
    for (size_t i = 0; i < count; ++i) {
        // Right-to-left glyphs come first character first, from the right: reversed, marks
        // before the letter they sit on, as a reader reverses them back.
        const PlacedGlyph& g = glyphs[style.rightToLeft ? count - 1 - i : i];
        if (oneByte && g.cid >> 8 != slot) {
            slot = g.cid >> 8;
            if (open) out.append(inHex ? ">] TJ\n" : "] TJ\n");
            appendFontSize(out, style, slot);
            if (open) out.push_back('[');
            inHex = false;
        }
        if (!open || std::fabs(g.y - lineY) > 1e-3) {
            if (open) out.append(inHex ? ">] TJ\n" : "] TJ\n");
            openLine(out, abcd, world.map(QPointF(g.x, g.y)));
            open = true;
            inHex = false;
            penX = g.x;
            lineY = g.y;
            ink = blankSince = false;
        }
        const bool blank = fonts.isBlank(style.font, g.cid);
        const double x =
            !blank && ink && blankSince ? readableWordGap(inkEnd, g.x, style.size) : g.x;
        const double adjust = (penX - x) * 1000 / style.size;
        if (std::fabs(adjust) > 0.05) {
            if (inHex) out.push_back('>');
            appendNumber(out, adjust, 1);
            inHex = false;
        }
        if (!inHex) out.push_back('<');
        inHex = true;
        if (oneByte)
            appendHex8(out, g.cid & 0xFF);
        else
            appendHex16(out, g.cid);
        penX = x + fonts.advance(style.font, g.cid) * style.size / 1000;
        blankSince = blank || (blankSince && !ink);
        if (!blank) {
            ink = true;
            blankSince = false;
            inkEnd = penX;
        }
    }
    out.append(inHex ? ">] TJ\nET\n" : "] TJ\nET\n");
}

} // namespace

void ContentStream::showGlyphs(const PdfFonts& fonts, const GlyphStyle& style,
                               const std::vector<PlacedGlyph>& glyphs, const QTransform& world,
                               const TextState& state, const QChar* pieceOf,
                               const QChar* pieceEnd) {
    if (glyphs.empty()) return;
    // Shown left to right, right-to-left text too. Readers take the glyphs of a line in the order
    // they are shown, find the words by the gaps between them and reverse right-to-left runs to
    // rebuild the typed order: pdf.js knows no other order, and poppler the same. (MuPDF before
    // 1.22 reads the content as it comes, so it reads right-to-left text reversed; a reader that
    // honours /ActualText reads what PdfTagging puts there.) Texts are most of a report's
    // content, so this is written into a plain string.
    thread_local std::string out;
    out.clear();
    const bool ownState = state.clip || !state.alpha.isEmpty() || state.boldOutline > 0;
    if (ownState) {
        const QByteArray opening = openingOf(state, style.color);
        out.append(opening.constData(), size_t(opening.size()));
    }
    out.append("BT\n");
    const PlacedGlyph& first = style.rightToLeft ? glyphs.back() : glyphs.front();
    const int slot = fonts.codeBytes(style.font) == 1 ? first.cid >> 8 : 0;
    appendFontSize(out, style, slot);
    appendColor(out, style.color, false);
    appendGlyphLines(out, fonts, style, glyphs, world, slot);
    if (ownState) out.append("Q\n");
    double left = glyphs.front().x;
    for (const PlacedGlyph& g : glyphs)
        left = std::min(left, g.x);
    place(out.data(), out.size(), pieceOf, pieceEnd, world.map(QPointF(left, glyphs.front().y)).x(),
          style.font);
}

void ContentStream::place(const char* content, size_t size, const QChar* pieceOf,
                          const QChar* pieceEnd, double left, int font) {
    if (!pieceOf)
        m_page.append(content, qsizetype(size));
    else
        m_held.push_back(
            {pieceOf, pieceEnd, QByteArray(content, qsizetype(size)),
             m_markEnglishPieces && isEnglishRun(QStringView(pieceOf, pieceEnd - pieceOf)), left,
             font});
}

void ContentStream::releaseHeld() {
    if (m_held.empty()) return;
    // The pieces of one text follow each other in its characters, in whatever order Qt drew them.
    std::vector<std::pair<const QChar*, const QChar*>> spans;
    spans.reserve(m_held.size());
    for (const HeldPiece& piece : m_held)
        spans.emplace_back(piece.begin, piece.end);
    std::sort(spans.begin(), spans.end());
    bool oneText = true;
    for (size_t i = 1; i < spans.size(); ++i)
        oneText &= spans[i].first == spans[i - 1].second;
    int font = -1;
    bool oneFont = true;
    for (const HeldPiece& piece : m_held)
        if (piece.font >= 0) {
            oneFont &= font < 0 || piece.font == font;
            font = piece.font;
        }
    if (oneText)
        std::stable_sort(m_held.begin(), m_held.end(),
                         [oneFont](const HeldPiece& a, const HeldPiece& b) {
                             return oneFont ? a.left < b.left : a.begin < b.begin;
                         });
    const bool markEnglish = m_markEnglishPieces && oneText && m_held.size() > 1;
    for (const HeldPiece& piece : m_held) {
        const bool english = markEnglish && piece.english;
        if (english) m_page.append("/Span << /Lang (en) >> BDC\n");
        m_page.append(piece.content);
        if (english) m_page.append("EMC\n");
    }
    m_held.clear();
}

void ContentStream::beginMarked(const QByteArray& tag, const QByteArray& properties) {
    releaseHeld();
    m_page.append(tag);
    if (properties.isEmpty()) {
        m_page.append(" BMC\n");
        return;
    }
    m_page.append(' ');
    m_page.append(properties);
    m_page.append(" BDC\n");
}

void ContentStream::endMarked() {
    releaseHeld();
    m_page.append("EMC\n");
}

} // namespace palvex::pdf
