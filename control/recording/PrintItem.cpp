#include "PrintItem.h"

#include "core/RecordCodec.h"

#include <algorithm>

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

namespace {

// Where a continuation record keeps its piece: the text field's bytes, and which field the
// piece continues in the alignment field's place.
constexpr int PieceOffset = 53;
constexpr int PieceWidth = PrintItem::TextWidth;
constexpr int FieldOffset = 239;
constexpr int16_t ContinuesFontName = 2, ContinuesText = 1;

QByteArray withoutTrailingBlanks(QByteArray bytes) {
    qsizetype n = bytes.size();
    while (n > 0 && bytes[n - 1] == ' ')
        --n;
    bytes.truncate(n);
    return bytes;
}

void appendPieces(std::vector<PrintItem::Bytes>& records, const QByteArray& rest, int16_t field,
                  int16_t pageNumber) {
    for (qsizetype at = 0; at < rest.size(); at += PieceWidth) {
        PrintItem::Bytes record{};
        unsigned char* p = record.data();
        const qsizetype n = std::min<qsizetype>(PieceWidth, rest.size() - at);
        std::copy_n(rest.constData() + at, n, p + PieceOffset);
        std::fill(p + PieceOffset + n, p + PieceOffset + PieceWidth, ' ');
        putI16(p + 233, KindContinuation);
        putI16(p + 237, pageNumber);
        putI16(p + FieldOffset, field);
        records.push_back(record);
    }
}

} // namespace

// How many bytes the page stores `text` in, blanks at its end left out; counted, not encoded,
// since nearly every text fits its field.
qsizetype storedLength(QStringView text, const CodePage& cp) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    if (!cp.isUtf8()) return n;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3; // a surrogate pair counted 6, more than enough
    }
    return bytes;
}

void PrintItem::encodeRecords(std::vector<Bytes>& records, const CodePage& cp) const {
    records.resize(1);
    encode(records[0], cp);
    if (storedLength(FontName, cp) <= FontNameWidth && storedLength(ItemText, cp) <= TextWidth)
        return;
    const QByteArray name = withoutTrailingBlanks(cp.encode(FontName));
    const QByteArray text = withoutTrailingBlanks(cp.encode(ItemText));
    // The fields hold raw bytes then: a character may run on into the next record.
    unsigned char* p = records[0].data();
    std::fill(p + 2, p + 2 + FontNameWidth, ' ');
    std::copy_n(name.constData(), std::min<qsizetype>(name.size(), FontNameWidth), p + 2);
    std::fill(p + 53, p + 53 + TextWidth, ' ');
    std::copy_n(text.constData(), std::min<qsizetype>(text.size(), TextWidth), p + 53);
    if (name.size() > FontNameWidth)
        appendPieces(records, name.mid(FontNameWidth), ContinuesFontName, PageNumber);
    if (text.size() > TextWidth)
        appendPieces(records, text.mid(TextWidth), ContinuesText, PageNumber);
}

PrintItem PrintItem::decodeRecords(const Bytes* records, size_t count, const CodePage& cp) {
    PrintItem item = decode(records[0], cp);
    if (count < 2) return item;
    QByteArray name(reinterpret_cast<const char*>(records[0].data() + 2), FontNameWidth);
    QByteArray text(reinterpret_cast<const char*>(records[0].data() + 53), TextWidth);
    for (size_t i = 1; i < count; ++i) {
        const unsigned char* p = records[i].data();
        const QByteArray piece(reinterpret_cast<const char*>(p + PieceOffset), PieceWidth);
        (getI16(p + FieldOffset) == ContinuesFontName ? name : text) += piece;
    }
    item.FontName = cp.decode(name);
    item.ItemText = cp.decode(text);
    return item;
}

bool PrintItem::isContinuation(const Bytes& record) {
    return getI16(record.data() + 233) == KindContinuation;
}

} // namespace palvex
