#include "ItemReplay.h"

#include "core/Guarded.h"
#include "core/NumberText.h"
#include "platform/Surface.h"
#include "recording/ItemWriter.h"
#include "recording/PageTokens.h"
#include "recording/ReportStore.h"
#include "recording/ShapeParams.h"

#include <algorithm>
#include <cmath>

namespace palvex {

namespace {

bool isFooter(const PrintItem& item) {
    return item.FooterFlag == 1 || item.FooterFlag == FooterItem;
}
bool isText(const PrintItem& item) {
    return item.ItemKind == KindText || item.ItemKind == KindTextNewLine;
}
bool isRun(const PrintItem& item) {
    return item.ItemKind == KindChars || item.ItemKind == KindCharsNewLine;
}

// A picture's alternative text travels in its font name field, which only pictures recorded
// with a role use so.
QString altTextOf(const PrintItem& item) {
    if (item.ItemKind != KindPicture || ItemTag::decode(item.Reserved).role != ItemRole::Picture)
        return QString();
    return trimBlanks(item.FontName);
}

// Every item is drawn between the surface's beginItem and endItem, also when drawing it throws.
class ItemScope {
public:
    ItemScope(Surface& surface, const PrintItem& item) : m_surface(surface) {
        m_surface.beginItem(itemTagOf(item), altTextOf(item));
    }
    ~ItemScope() { m_surface.endItem(); }
    ItemScope(const ItemScope&) = delete;
    ItemScope& operator=(const ItemScope&) = delete;

private:
    Surface& m_surface;
};

} // namespace

ItemTag itemTagOf(const PrintItem& item) {
    ItemTag tag = ItemTag::decode(item.Reserved);
    if (tag.role != ItemRole::Unmarked) return tag;
    if (isFooter(item))
        tag.role = ItemRole::PageFooter;
    else if (item.ItemKind == KindPicture)
        tag.role = ItemRole::Picture;
    else if (isText(item) || item.ItemKind == KindSpecialCenter ||
             item.ItemKind == KindSpecialCenterNewLine) {
        tag.role = ItemRole::Body;
        tag.startsElement = true;
    } else
        tag.role = ItemRole::Decoration;
    return tag;
}

PrintItem ItemReplay::read(int32_t n) const {
    PrintItem item = m_store.read(n);
    if (isText(item)) item.ItemText = withPageCount(std::move(item.ItemText), m_rules.pageCount);
    return item;
}

void ItemReplay::applyItemFont(const PrintItem& item) {
    Surface& s = m_target;
    const float zoom = m_rules.zoom;
    // Records come from files: a value the surface refuses leaves its previous one. Most items
    // keep the font of the one before, which needs no second look in the font catalog.
    const QString fontName = trimBlanks(item.FontName);
    if (fontName != s.font().name) {
        try {
            s.setFontName(fontName);
        } catch (const Error&) {
        }
    }
    s.setCurrentY(isFooter(item) ? item.ItemY : item.ItemY * zoom);
    try {
        s.setForeColor(m_rules.monochrome ? 0 : item.ForeColor);
    } catch (const Error&) {
    }
    s.setFontBold(item.FontBold != 0);
    s.setFontItalic(item.FontItalic != 0);
    s.setFontUnderline(item.FontUnderline != 0);
    s.setFontStrikethru(item.FontStrikethru != 0);
    s.setFontTransparent(item.FontTransparent != 0);
    float size = item.FontSize;
    if (!isRun(item)) size *= zoom;
    if (std::isfinite(size)) s.setFontSize(std::clamp(size, 1.0f, 2160.0f));
    s.setCurrentX(zoom * item.ItemX + itemShift);
}

void ItemReplay::align(const PrintItem& item) {
    Surface& s = m_target;
    const Margins& m = m_rules.margins;
    const float width = s.ScaleWidth();
    switch (item.HAlign) {
    case AlignRight:
        s.setCurrentX(m.right + itemShift);
        break;
    case AlignCenter: {
        const float shift = m_rules.centredTextTakesShift ? itemShift : 0.0f;
        s.setCurrentX(m.right +
                      (width - m.left - m.right - s.TextWidth(trimBlanks(item.ItemText))) / 2 +
                      shift);
        break;
    }
    case AlignLeft:
        s.setCurrentX(width - m.left - s.TextWidth(trimTrailingBlanks(item.ItemText)));
        break;
    default:
        break;
    }
}

void ItemReplay::trackTextExtent(const PrintItem& item) {
    if (!m_rules.trackExtent || item.NoCentering == 1 || item.HAlign != 0) return;
    const float x = m_target.CurrentX();
    minTextX = std::min(minTextX, x);
    maxTextX = std::max(maxTextX, x);
}

void ItemReplay::print(const QString& text, int32_t n, const PrintItem& item) {
    Surface& s = m_target;
    if (!m_rules.keepDrawn) return s.Print(text, false);
    DrawnText d{n, s.CurrentX(), s.CurrentY(), 0, s.font(), text, item.FooterFlag, itemTagOf(item)};
    s.Print(text, false);
    d.width = s.CurrentX() - d.x;
    drawn.push_back(std::move(d));
}

void ItemReplay::drawText(const PrintItem& item, int32_t n) {
    trackTextExtent(item);
    lastTextStartX = m_target.CurrentX();
    print(trimTrailingBlanks(item.ItemText), n, item);
    lastTextEndX = m_target.CurrentX();
    trackTextExtent(item);
}

void ItemReplay::drawSpecialCenter(const PrintItem& item, int32_t n) {
    Surface& s = m_target;
    SpecialCenterParams p = SpecialCenterParams::decode(item.ItemText);
    const float zoom = m_rules.zoom;
    p.x1 = p.x1 * zoom + itemShift;
    p.x2 = p.x2 * zoom + itemShift;
    p.y1 *= zoom;
    p.y2 *= zoom;
    s.setCurrentX(p.x1 + (p.x2 - p.x1 - s.TextWidth(p.text)) / 2);
    trackTextExtent(item);
    if (p.y2 > 0 && p.y1 >= 0 && p.y2 > p.y1)
        s.setCurrentY(s.CurrentY() + (p.y2 - p.y1 - s.TextHeight(p.text)) / 2);
    lastTextStartX = s.CurrentX();
    print(p.text, n, item);
    lastTextEndX = s.CurrentX();
    trackTextExtent(item);
}

int32_t ItemReplay::drawMixedLine(int32_t first, int32_t last) {
    Surface& s = m_target;
    // The line is the texts that follow, up to the first one that ends its line. It never takes
    // in a footer item or an item that is not text, so an unterminated line cannot swallow the
    // page number or print a shape's parameters.
    float total = 0;
    int32_t end = first;
    for (int32_t m = first; m <= last; ++m) {
        const PrintItem item = read(m);
        if (!isText(item) || (m > first && isFooter(item))) break;
        applyItemFont(item);
        total += s.TextWidth(trimTrailingBlanks(item.ItemText));
        end = m;
        if (item.ItemKind == KindTextNewLine) break;
    }
    const Margins& margins = m_rules.margins;
    const float x0 = margins.right + (s.ScaleWidth() - margins.left - margins.right - total) / 2;
    float x = x0;
    for (int32_t m = first; m <= end; ++m) {
        const PrintItem item = read(m);
        applyItemFont(item);
        s.setCurrentX(x);
        print(trimTrailingBlanks(item.ItemText), m, item);
        x = s.CurrentX();
    }
    lastTextStartX = x0;
    lastTextEndX = x;
    s.EndLine();
    return end;
}

void ItemReplay::replay(int32_t first, int32_t last) {
    for (int32_t n = first; n <= last && n >= 1; ++n) {
        const PrintItem item = read(n);
        // The shift is kept in twips at 100 %; a zoomed page moves it with everything else.
        itemShift = m_rules.ignoreCenterOffset || !std::isfinite(item.CenterOffset)
                        ? 0.0f
                        : item.CenterOffset * m_rules.zoom;
        applyItemFont(item);
        if (item.YRelative == 1) m_target.setCurrentY(m_rules.currentYofPageNumber - item.ItemY);
        if (item.HAlign == AlignMixedLanguages && isText(item)) {
            {
                const ItemScope scope(m_target, item);
                n = drawMixedLine(n, last);
            }
            if (afterItem) afterItem(n);
            continue;
        }
        {
            const ItemScope scope(m_target, item);
            align(item);
            switch (item.ItemKind) {
            case KindText:
            case KindTextNewLine:
                drawText(item, n);
                break;
            case KindSpecialCenter:
            case KindSpecialCenterNewLine:
                drawSpecialCenter(item, n);
                break;
            case KindPicture:
            case KindChars:
            case KindCharsNewLine:
            case KindBox:
            case KindLine:
            case KindCircle:
                if (drawGraphic) drawGraphic(item, *this);
                break;
            default:
                break; // unknown kinds draw nothing
            }
        }
        if (afterItem) afterItem(n);
    }
}

} // namespace palvex
