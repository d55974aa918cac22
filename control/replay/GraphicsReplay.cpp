#include "GraphicsReplay.h"

#include "ItemReplay.h"
#include "PictureCache.h"
#include "core/CodePage.h"
#include "core/Guarded.h"
#include "platform/PictureFile.h"
#include "platform/Surface.h"
#include "recording/PrintItem.h"
#include <palvex/Enumerations.h>

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {

constexpr float RunEndSlack = 20; // a run stops this close to its end
constexpr float VerticalRunRise = 50;
constexpr int MaxRunCharacters = 100000;

bool isRuleCharacter(QChar c) {
    const CodePage& cp = CodePage::system();
    return c == cp.charOf(175) || c == QLatin1Char('-') || c == cp.charOf(150) ||
           c == QLatin1Char('=') || c == QLatin1Char('*');
}

} // namespace

ShapeParams GraphicsParams::decodeShape(const QString& itemText, float zoom, bool zoomCurrentX) {
    ShapeParams p = ShapeParams::decode(itemText);
    if (zoom == 1.0f) return p;
    if (zoomCurrentX) p.x1 *= zoom;
    p.x2 *= zoom;
    p.y1 *= zoom;
    p.y2 *= zoom;
    p.radius *= zoom;
    p.start *= zoom;
    p.aspect *= zoom;
    return p;
}

void GraphicsParams::alignShape(ShapeParams& p, int16_t kind, int16_t align, float W,
                                const Margins& m) {
    const float L = m.left, R = m.right, r = p.radius, w = p.x2 - p.x1;
    if (kind == KindCircle) {
        switch (align) {
        case AlignNone:
            p.x1 = W - p.x1;
            break;
        case AlignRight:
            p.x1 = W - R - r;
            break;
        case AlignCenter:
            p.x1 = L + r + (W - L - R - 2 * r) / 2;
            break;
        case AlignLeft:
            p.x1 = L + r;
            break;
        default:
            break;
        }
        return;
    }
    switch (align) {
    case AlignNone:
        p.x1 = W - p.x1;
        p.x2 = W - p.x2;
        break;
    case AlignRight:
        p.x1 = W - R - w;
        p.x2 = W - R;
        break;
    case AlignCenter:
        p.x1 = R + (W - L - R - w) / 2;
        p.x2 = p.x1 + w;
        break;
    case AlignLeft:
        p.x2 = p.x2 + L - p.x1;
        p.x1 = L;
        break;
    default:
        break;
    }
}

void GraphicsParams::applyPen(Surface& s, const ShapeParams& p, double penScale) {
    // Records come from files: a value the surface cannot take keeps the surface's own.
    auto tryTo = [](auto&& set) {
        try {
            set();
        } catch (const Error&) {
        }
    };
    tryTo([&] { s.setDrawMode(p.drawMode); });
    tryTo([&] { s.setDrawStyle(p.drawStyle); });
    tryTo([&] { s.setDrawWidth(std::max(1, int(std::lround(std::max(1, p.width) * penScale)))); });
    tryTo([&] { s.setFillColor(p.color); });
    tryTo([&] { s.setFillStyle(p.fillStyle); });
}

void GraphicsReplay::draw(const PrintItem& item, ItemReplay& replay) const {
    switch (item.ItemKind) {
    case KindBox:
    case KindLine:
    case KindCircle:
        drawShape(item, replay);
        break;
    case KindPicture:
        drawPicture(item, replay);
        break;
    case KindChars:
    case KindCharsNewLine:
        drawRun(item, replay);
        break;
    default:
        break;
    }
}

void GraphicsReplay::drawShape(const PrintItem& item, ItemReplay& replay) const {
    Surface& s = replay.target();
    const ReplayRules& rules = replay.rules();
    const float W = s.ScaleWidth();
    ShapeParams p = GraphicsParams::decodeShape(item.ItemText, rules.zoom, rules.zoomCurrentX);
    GraphicsParams::applyPen(s, p, m_penScale);
    GraphicsParams::alignShape(p, item.ItemKind, item.HAlign, W, rules.margins);
    // The centring shift moves text leftwards from the right edge; shapes move with it, so in
    // the left-origin scale of graphics it is subtracted.
    const float shift = replay.itemShift;
    try {
        if (item.ItemKind == KindLine) {
            s.Line(p.x1 - shift, p.y1, p.x2 - shift, p.y2, p.color, false);
            return;
        }
        if (item.ItemKind == KindBox) {
            s.Line(p.x1 - shift, p.y1, p.x2 - shift, p.y2, p.color, true);
            if (p.inside.isEmpty()) return;
            const float b = std::fabs(p.x2 - p.x1), t = s.TextWidth(p.inside);
            // The box's right edge on the text scale, counted from the right.
            const float right = W - std::max(p.x1, p.x2) + shift;
            s.setCurrentX(t <= b ? right + (b - t) / 2 : right);
            s.setCurrentY(p.y1 + (p.y2 - p.y1) / 2 - s.TextHeight(p.inside) / 2);
            s.Print(p.inside, false);
            return;
        }
        if (p.aspect > 0) {
            const Surface::Arc arc{p.start, p.end};
            s.Circle(p.x1 - shift, p.y1, p.radius, p.outline, &arc, p.aspect);
        } else {
            s.Circle(p.x1 - shift, p.y1, p.radius, p.outline);
        }
        if (p.inside.isEmpty()) return;
        const float c = W - p.x1, r = p.radius, t = s.TextWidth(p.inside);
        s.setCurrentX(t <= 2 * r ? c + shift - r + (2 * r - t) / 2 : c + shift);
        s.setCurrentY(p.y1 - s.TextHeight(p.inside) / 2);
        s.Print(p.inside, false);
    } catch (const Error&) {
        // A colour the surface refuses draws nothing; the rest of the page goes on.
    }
}

void GraphicsReplay::drawPicture(const PrintItem& item, ItemReplay& replay) const {
    Surface& s = replay.target();
    const ReplayRules& rules = replay.rules();
    const Margins& m = rules.margins;
    const PictureParams params = PictureParams::decode(item.ItemText);
    // A picture that can no longer be read, or one without a size, is skipped.
    const PictureFile picture = PictureCache::instance().file(params.fileName);
    if (!picture.readable() || !(params.width > 0) || !(params.height > 0)) return;
    // The record keeps the picture's size in hundredths of a millimetre; the page is in twips.
    const float w = float(PictureFile::hmmToTwips(params.width));
    const float h = float(PictureFile::hmmToTwips(params.height));
    // A picture recorded at a size of its own (printPictureSized) is drawn at it; otherwise the
    // file's own size, which the record holds to a fraction of a twip.
    float naturalW = float(PictureFile::hmmToTwips(picture.widthHmm));
    float naturalH = float(PictureFile::hmmToTwips(picture.heightHmm));
    if (std::abs(w - naturalW) > 0.5f || std::abs(h - naturalH) > 0.5f) naturalW = w, naturalH = h;
    const float W = s.ScaleWidth(), H = s.Height();
    const float zoom = rules.zoom;
    float paintW = naturalW, paintH = naturalH;
    if (zoom != 1.0f) {
        if (rules.zoomCurrentX) s.setCurrentX(item.ItemX * zoom + replay.itemShift);
        const double area = double(w) * h * zoom; // each side follows the square root of the zoom
        paintW = float(std::sqrt(double(w) * area / h));
        paintH = h * paintW / w;
    }
    const float ratio = zoom == 1.0f ? 1.0f : paintH / h;
    switch (item.VAlign) {
    case 1:
        s.setCurrentY(m.top);
        break;
    case 2:
        s.setCurrentY(m.top + (H - m.bottom - m.top - naturalH) / 2);
        break;
    case 3:
        s.setCurrentY(H - m.bottom - naturalH * ratio);
        break;
    default:
        break;
    }
    float x = 0;
    switch (item.HAlign) {
    case AlignNone:
        x = s.CurrentX() + replay.itemShift;
        break;
    case AlignRight:
        x = W - m.right - paintW;
        break;
    case AlignCenter:
        x = m.left + (W - m.left - m.right - naturalW * paintW / w) / 2;
        break;
    case AlignLeft:
        x = m.left;
        break;
    default:
        return; // codes above 3 draw nothing
    }
    // Decoded at no more pixels than the surface shows over that size.
    const QSize pixels = s.picturePixels(paintW, paintH);
    if (pixels.isEmpty()) return;
    s.PaintPicture(PictureCache::instance().pixels(picture, pixels), x, s.CurrentY(), paintW,
                   paintH);
}

void GraphicsReplay::drawRun(const PrintItem& item, ItemReplay& replay) const {
    Surface& s = replay.target();
    const ReplayRules& rules = replay.rules();
    const RunParams run = RunParams::decode(item.ItemText);
    const QString ch(run.character);
    if (run.direction != 0) {
        float v = std::round(s.CurrentX() + replay.itemShift);
        float end = run.end;
        s.setCurrentY(run.start);
        if (rules.zoom != 1.0f && rules.zoomCurrentX) {
            v = std::round(v * rules.zoom);
            end = run.end * rules.zoom;
        }
        // Each character moves down a line less 50 twips; a font whose line is no taller than
        // that would never reach the end, so the run stops when the cursor does not move on.
        for (int i = 0; i < MaxRunCharacters && end - RunEndSlack > s.CurrentY(); ++i) {
            const float y = s.CurrentY();
            s.Print(ch, true);
            s.setCurrentX(v);
            s.setCurrentY(s.CurrentY() - VerticalRunRise);
            if (!(s.CurrentY() > y)) break;
        }
        return;
    }
    if (isRuleCharacter(run.character)) s.setFontSize(8);
    const Margins& m = rules.margins;
    float end = 0;
    switch (item.CharsPlacement) {
    case K1_FromLeftmarginToRightmargin:
        s.setCurrentX(m.right);
        end = s.ScaleWidth() - m.left;
        break;
    case K2_StartAndEndPointAsStringOfLastRow:
        s.setCurrentX(replay.lastTextStartX);
        end = replay.lastTextEndX;
        break;
    default:
        s.setCurrentX(run.start * rules.zoom + replay.itemShift);
        end = run.end * rules.zoom + replay.itemShift;
        break;
    }
    // A character that does not advance draws nothing; the loop is bounded by the extent.
    const float advance = s.TextWidth(ch);
    if (!(advance > 0)) return;
    const double bound = std::min<double>(MaxRunCharacters, (end - s.CurrentX()) / advance + 1);
    for (int i = 0; i < bound && end - RunEndSlack > s.CurrentX(); ++i)
        s.Print(ch, false);
}

} // namespace palvex
