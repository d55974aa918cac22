#pragma once

#include "platform/TextMetrics.h"
#include "recording/PrintItem.h"
#include "recording/ReportState.h"

#include <QString>

#include <functional>
#include <vector>

namespace palvex {

class ReportStore;
class Surface;

// What one target of the replay does differently: the preview canvas and the printer replay
// the same records through the same engine and differ only here.
struct ReplayRules {
    float zoom = 1;
    Margins margins;
    float currentYofPageNumber = 0;
    bool zoomCurrentX = true;
    bool ignoreCenterOffset = false;   // the preview while page centring measures the pages
    bool centredTextTakesShift = true; // the printer centres HAlign 2 text without the shift
    bool monochrome = false;           // a black-and-white printer prints everything black
    bool trackExtent = true;           // the preview records the free text's extent
    bool keepDrawn = true;             // the preview keeps where each text was drawn
    int32_t pageCount = 0;             // what "{pages}" in a text reads; 0 leaves it as it is
};

// Where a text item was drawn: its right end (from the surface's right edge) and top, in the
// surface's units, in the font it was drawn with.
struct DrawnText {
    int32_t item = 0;
    float x = 0;
    float y = 0;
    float width = 0;
    FontSpec font;
    QString text;
    int16_t footerFlag = 0;
    ItemTag tag; // what the item is, as itemTagOf resolves it
};

// What an item is: its recorded role, or for a record written before roles were kept, the role
// its kind and footer flag imply (each text a paragraph of its own, a footer item a footer).
ItemTag itemTagOf(const PrintItem& item);

// Replays recorded items on a surface: the per-item font and position, text alignment, the
// mixed-language line and the text centred between points. Graphics kinds are handed to
// `drawGraphic`.
class ItemReplay {
public:
    ItemReplay(const ReportStore& store, Surface& target, const ReplayRules& rules)
        : m_store(store), m_target(target), m_rules(rules) {}

    // Kinds 11 and 13-17, with the item's font and position applied and `itemShift` set.
    std::function<void(const PrintItem&, ItemReplay&)> drawGraphic;
    // After each item (the last of a mixed-language line), e.g. for page ends on a printer.
    std::function<void(int32_t item)> afterItem;

    // Draws items first..last in record order (nothing when first > last).
    void replay(int32_t first, int32_t last);

    float minTextX = 0, maxTextX = 0;
    float lastTextStartX = 0, lastTextEndX = 0;
    float itemShift = 0;
    std::vector<DrawnText> drawn;

    Surface& target() { return m_target; }
    const ReplayRules& rules() const { return m_rules; }

private:
    PrintItem read(int32_t n) const;
    void applyItemFont(const PrintItem& item);
    void align(const PrintItem& item);
    void drawText(const PrintItem& item, int32_t n);
    void drawSpecialCenter(const PrintItem& item, int32_t n);
    int32_t drawMixedLine(int32_t first, int32_t last);
    void trackTextExtent(const PrintItem& item);
    void print(const QString& text, int32_t n, const PrintItem& item);

    const ReportStore& m_store;
    Surface& m_target;
    ReplayRules m_rules;
};

} // namespace palvex
