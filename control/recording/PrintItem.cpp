#include "PrintItem.h"

#include "core/RecordCodec.h"

namespace palvex {

using namespace codec;

void PrintItem::encode(Bytes& out, const CodePage& cp) const {
    unsigned char* p = out.data();
    putI16(p + 0, NoCentering);
    putText(p + 2, FontName, FontNameWidth, cp);
    putF32(p + 27, FontSize);
    putI16(p + 31, FontBold);
    putI16(p + 33, FontUnderline);
    putI16(p + 35, FontItalic);
    putI16(p + 37, FontStrikethru);
    putI16(p + 39, FontTransparent);
    putI32(p + 41, ForeColor);
    putF32(p + 45, ItemX);
    putF32(p + 49, ItemY);
    putText(p + 53, ItemText, TextWidth, cp);
    putI16(p + 233, ItemKind);
    putI16(p + 235, CharsPlacement);
    putI16(p + 237, PageNumber);
    putI16(p + 239, HAlign);
    putI16(p + 241, FooterFlag);
    putI16(p + 243, VAlign);
    putI16(p + 245, Reserved);
    putI16(p + 247, YRelative);
    putF32(p + 249, CenterOffset);
    p[253] = p[254] = p[255] = 0;
}

PrintItem PrintItem::decode(const Bytes& in, const CodePage& cp) {
    const unsigned char* p = in.data();
    PrintItem item;
    item.NoCentering = getI16(p + 0);
    item.FontName = getText(p + 2, FontNameWidth, cp);
    item.FontSize = getF32(p + 27);
    item.FontBold = getI16(p + 31);
    item.FontUnderline = getI16(p + 33);
    item.FontItalic = getI16(p + 35);
    item.FontStrikethru = getI16(p + 37);
    item.FontTransparent = getI16(p + 39);
    item.ForeColor = getI32(p + 41);
    item.ItemX = getF32(p + 45);
    item.ItemY = getF32(p + 49);
    item.ItemText = getText(p + 53, TextWidth, cp);
    item.ItemKind = getI16(p + 233);
    item.CharsPlacement = getI16(p + 235);
    item.PageNumber = getI16(p + 237);
    item.HAlign = getI16(p + 239);
    item.FooterFlag = getI16(p + 241);
    item.VAlign = getI16(p + 243);
    item.Reserved = getI16(p + 245);
    item.YRelative = getI16(p + 247);
    item.CenterOffset = getF32(p + 249);
    return item;
}

} // namespace palvex
