#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace palvex {

class CodePage;

// Kind codes of a recorded item.
enum ItemKind : int16_t {
    KindNone = 0, // a line advance; never stored
    KindText = 1,
    KindTextNewLine = 2,
    KindSpecialCenter = 3,
    KindSpecialCenterNewLine = 4,
    KindPicture = 11,
    KindChars = 13,
    KindCharsNewLine = 14,
    KindBox = 15,
    KindLine = 16,
    KindCircle = 17,
    // The rest of the previous item's font name or text that its fields could not hold; never a
    // pending kind, only a record of the store.
    KindContinuation = 20,
};

// Horizontal alignment codes stored in HAlign (pictures use their own 0-4).
enum ItemAlign : int16_t {
    AlignNone = 0,
    AlignRight = 1,
    AlignCenter = 2,
    AlignLeft = 3,
    AlignMixedLanguages = 6,
};

constexpr int16_t FooterItem = 3;

// One recorded drawing call: a 256-byte record of the report store. Booleans hold -1 or 0.
struct PrintItem {
    static constexpr int Size = 256;
    static constexpr int FontNameWidth = 25;
    static constexpr int TextWidth = 180;
    using Bytes = std::array<unsigned char, Size>;

    int16_t NoCentering = 0;
    QString FontName;
    float FontSize = 0;
    int16_t FontBold = 0;
    int16_t FontUnderline = 0;
    int16_t FontItalic = 0;
    int16_t FontStrikethru = 0;
    int16_t FontTransparent = 0;
    int32_t ForeColor = 0;
    float ItemX = 0;
    float ItemY = 0;
    QString ItemText;
    int16_t ItemKind = 0;
    int16_t CharsPlacement = 0;
    int16_t PageNumber = 0;
    int16_t HAlign = 0;
    int16_t FooterFlag = 0;
    int16_t VAlign = 0;
    int16_t Reserved = 0;
    int16_t YRelative = 0;
    float CenterOffset = 0;

    // One record, field by field, little-endian, text in the code page padded with spaces (and
    // cut to its field); Spare is zero.
    void encode(Bytes& out, const CodePage& codePage) const;
    static PrintItem decode(const Bytes& in, const CodePage& codePage);

    // The item whole: the first record holds every field with as much of the font name and
    // the text as those fields take, and continuation records (KindContinuation) the rest of
    // each, font name first, 180 bytes to a record. Text that fits makes exactly the record
    // encode does, so a report of short texts is stored as it always was.
    // `records` is filled afresh (and keeps its capacity, so a caller reuses one).
    void encodeRecords(std::vector<Bytes>& records, const CodePage& codePage) const;
    // The item from its first record and the continuation records that follow it.
    static PrintItem decodeRecords(const Bytes* records, size_t count, const CodePage& codePage);
    static bool isContinuation(const Bytes& record);
};

} // namespace palvex
