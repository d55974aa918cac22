#include "Definitions.h"

#include "core/RecordCodec.h"
#include "platform/Colors.h"

#include <algorithm>
#include <cmath>

namespace palvex {

using namespace codec;

namespace {
constexpr int FlagsAt = 0, IntsAt = 100, TextsAt = 200, LongsAt = 410, RealsAt = 610, TagAt = 1010;
constexpr int TextWidth = 30, TagWidth = 14;
constexpr std::array<int16_t, 3> DefaultZoomFlags{1, 0, 0};
} // namespace

Definitions Definitions::initial(const std::array<double, 4>& marginsCm) {
    Definitions d;
    d.DefTexts.fill(QString(TextWidth, QLatin1Char(' ')));
    d.DefTag = QString(TagWidth, QLatin1Char(' '));
    std::copy(DefaultZoomFlags.begin(), DefaultZoomFlags.end(), d.DefFlags.begin());
    std::copy(marginsCm.begin(), marginsCm.end(), d.DefReals.begin());
    d.DefLongs[0] = DefaultBackColor;
    return d;
}

void Definitions::encode(Bytes& out, const CodePage& cp) const {
    unsigned char* p = out.data();
    for (int i = 0; i < 50; ++i)
        putI16(p + FlagsAt + 2 * i, DefFlags[i]);
    for (int i = 0; i < 50; ++i)
        putI16(p + IntsAt + 2 * i, DefInts[i]);
    for (int i = 0; i < 7; ++i)
        putText(p + TextsAt + TextWidth * i, DefTexts[i], TextWidth, cp);
    for (int i = 0; i < 50; ++i)
        putI32(p + LongsAt + 4 * i, DefLongs[i]);
    for (int i = 0; i < 50; ++i)
        putF64(p + RealsAt + 8 * i, DefReals[i]);
    putText(p + TagAt, DefTag, TagWidth, cp);
}

Definitions Definitions::decode(const unsigned char* bytes, qsizetype size, const CodePage& cp) {
    Bytes full{};
    std::copy_n(bytes, std::min<qsizetype>(size, Size), full.begin());
    const unsigned char* p = full.data();
    Definitions d;
    for (int i = 0; i < 50; ++i)
        d.DefFlags[i] = getI16(p + FlagsAt + 2 * i);
    for (int i = 0; i < 50; ++i)
        d.DefInts[i] = getI16(p + IntsAt + 2 * i);
    for (int i = 0; i < 7; ++i)
        d.DefTexts[i] = getText(p + TextsAt + TextWidth * i, TextWidth, cp);
    for (int i = 0; i < 50; ++i)
        d.DefLongs[i] = getI32(p + LongsAt + 4 * i);
    for (int i = 0; i < 50; ++i)
        d.DefReals[i] = getF64(p + RealsAt + 8 * i);
    d.DefTag = getText(p + TagAt, TagWidth, cp);

    for (int i = 0; i < 3; ++i)
        if (d.DefFlags[i] != 0 && d.DefFlags[i] != 1) d.DefFlags[i] = DefaultZoomFlags[i];
    if (!isValidColor(d.DefLongs[0])) d.DefLongs[0] = DefaultBackColor;
    for (int i = 0; i < 4; ++i) {
        const double cm = d.DefReals[i];
        if (!std::isfinite(cm) || cm < 0 || cm > 4) d.DefReals[i] = DefaultMarginsCm[i];
    }
    return d;
}

} // namespace palvex
