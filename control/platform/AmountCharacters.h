#pragma once

#include <QChar>

namespace palvex {

// The characters amounts are written with. Most of a report's texts are amounts, each printed
// once, so both the measuring of texts and the PDF's shaping set them from their characters'
// advances where the font allows, rather than shaping each.
struct AmountCharacters {
    static constexpr int Count = 13;
    static constexpr char16_t Of[Count] = {u'0', u'1', u'2', u'3', u'4', u'5', u'6',
                                           u'7', u'8', u'9', u',', u'.', u'-'};
    // Its place in `Of`, or -1 for a character amounts are not written with.
    static int indexOf(QChar c) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') return u - u'0';
        return u == u',' ? 10 : u == u'.' ? 11 : u == u'-' ? 12 : -1;
    }
};

} // namespace palvex
