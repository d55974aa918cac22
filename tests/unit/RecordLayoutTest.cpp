// Byte layout of the 256-byte print item and the 1024-byte definitions record. Other programs
// read these files, so every field is checked at its byte offset, independently of decode.

#include "core/CodePage.h"
#include "recording/Definitions.h"
#include "recording/PrintItem.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace palvex::test {
namespace {

const CodePage& cp() {
    static const CodePage page(1255);
    return page;
}

int16_t i16At(const unsigned char* p, int at) {
    return int16_t(p[at] | (p[at + 1] << 8));
}
uint32_t u32At(const unsigned char* p, int at) {
    return uint32_t(p[at]) | uint32_t(p[at + 1]) << 8 | uint32_t(p[at + 2]) << 16 |
           uint32_t(p[at + 3]) << 24;
}
uint64_t u64At(const unsigned char* p, int at) {
    return u32At(p, at) | uint64_t(u32At(p, at + 4)) << 32;
}
float f32At(const unsigned char* p, int at) {
    return std::bit_cast<float>(u32At(p, at));
}
double f64At(const unsigned char* p, int at) {
    return std::bit_cast<double>(u64At(p, at));
}
QByteArray rawAt(const unsigned char* p, int at, int n) {
    return QByteArray(reinterpret_cast<const char*>(p) + at, n);
}

void putLE(unsigned char* p, int at, uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        p[at + i] = (value >> (8 * i)) & 0xFF;
}

// Every field different from its neighbours and from zero.
PrintItem distinctiveItem() {
    PrintItem item;
    item.NoCentering = -2;
    item.FontName = QStringLiteral("Arial");
    item.FontSize = 12.5f;
    item.FontBold = -1;
    item.FontUnderline = 0x0102;
    item.FontItalic = 0x0304;
    item.FontStrikethru = 0x0506;
    item.FontTransparent = 0x0708;
    item.ForeColor = 0x00112233;
    item.ItemX = 1440.0f;
    item.ItemY = -720.25f;
    item.ItemText = QString::fromUtf8("שלום world");
    item.ItemKind = KindCharsNewLine;
    item.CharsPlacement = 0x1112;
    item.PageNumber = 0x1314;
    item.HAlign = AlignMixedLanguages;
    item.FooterFlag = FooterItem;
    item.VAlign = 0x1516;
    item.Reserved = 0x1718;
    item.YRelative = 0x191A;
    item.CenterOffset = 3.75f;
    return item;
}

PrintItem::Bytes encoded(const PrintItem& item, unsigned char fill = 0xAA) {
    PrintItem::Bytes bytes;
    bytes.fill(fill);
    item.encode(bytes, cp());
    return bytes;
}

TEST(PrintItemLayout, EveryFieldSitsAtItsOffsetLittleEndian) {
    static_assert(PrintItem::Size == 256);
    const PrintItem::Bytes bytes = encoded(distinctiveItem());
    const unsigned char* p = bytes.data();
    EXPECT_EQ(rawAt(p, 0, 2), QByteArray("\xFE\xFF", 2));
    EXPECT_EQ(rawAt(p, 2, 25), QByteArray("Arial") + QByteArray(20, ' '));
    EXPECT_FLOAT_EQ(f32At(p, 27), 12.5f);
    EXPECT_EQ(u32At(p, 27), 0x41480000u);
    EXPECT_EQ(i16At(p, 31), -1);
    EXPECT_EQ(rawAt(p, 33, 2), QByteArray("\x02\x01", 2));
    EXPECT_EQ(i16At(p, 35), 0x0304);
    EXPECT_EQ(i16At(p, 37), 0x0506);
    EXPECT_EQ(i16At(p, 39), 0x0708);
    EXPECT_EQ(rawAt(p, 41, 4), QByteArray("\x33\x22\x11\x00", 4));
    EXPECT_EQ(f32At(p, 45), 1440.0f);
    EXPECT_EQ(f32At(p, 49), -720.25f);
    EXPECT_EQ(rawAt(p, 53, 10), QByteArray("\xF9\xEC\xE5\xED world", 10));
    EXPECT_EQ(rawAt(p, 63, 170), QByteArray(170, ' '));
    EXPECT_EQ(i16At(p, 233), 14);
    EXPECT_EQ(i16At(p, 235), 0x1112);
    EXPECT_EQ(i16At(p, 237), 0x1314);
    EXPECT_EQ(i16At(p, 239), 6);
    EXPECT_EQ(i16At(p, 241), 3);
    EXPECT_EQ(i16At(p, 243), 0x1516);
    EXPECT_EQ(i16At(p, 245), 0x1718);
    EXPECT_EQ(i16At(p, 247), 0x191A);
    EXPECT_EQ(f32At(p, 249), 3.75f);
    EXPECT_EQ(rawAt(p, 253, 3), QByteArray(3, '\0'));
}

TEST(PrintItemLayout, EncodeWritesEveryByte) {
    // Whatever the buffer held before must not leak into the record.
    EXPECT_EQ(encoded(distinctiveItem(), 0x00), encoded(distinctiveItem(), 0xFF));
    EXPECT_EQ(encoded(PrintItem{}, 0x00), encoded(PrintItem{}, 0xFF));
}

TEST(PrintItemLayout, LongTextsAreCutWithoutTouchingTheNextField) {
    PrintItem item = distinctiveItem();
    item.FontName = QString(26, QLatin1Char('F'));
    item.ItemText = QString(200, QChar(0x05D0)); // alef
    const PrintItem::Bytes bytes = encoded(item);
    EXPECT_EQ(rawAt(bytes.data(), 2, 25), QByteArray(25, 'F'));
    EXPECT_EQ(f32At(bytes.data(), 27), 12.5f);
    EXPECT_EQ(rawAt(bytes.data(), 53, 180), QByteArray(180, char(0xE0)));
    EXPECT_EQ(i16At(bytes.data(), 233), KindCharsNewLine);

    const PrintItem back = PrintItem::decode(bytes, cp());
    EXPECT_EQ(back.FontName, QString(25, QLatin1Char('F')));
    EXPECT_EQ(back.ItemText, QString(180, QChar(0x05D0)));
}

TEST(PrintItemLayout, DecodeReadsHandBuiltBytes) {
    PrintItem::Bytes bytes{};
    unsigned char* p = bytes.data();
    putLE(p, 0, 0xFFFF, 2);
    std::memcpy(p + 2, "Courier New              ", 25);
    putLE(p, 27, std::bit_cast<uint32_t>(9.75f), 4);
    putLE(p, 31, 0xFFFF, 2);
    putLE(p, 33, 1, 2);
    putLE(p, 35, 2, 2);
    putLE(p, 37, 3, 2);
    putLE(p, 39, 4, 2);
    putLE(p, 41, 0x80000012u, 4);
    putLE(p, 45, std::bit_cast<uint32_t>(-1.5f), 4);
    putLE(p, 49, std::bit_cast<uint32_t>(8000.0f), 4);
    std::memset(p + 53, ' ', 180);
    std::memcpy(p + 53, "\xEE\xE0\xE6\xEF", 4);
    putLE(p, 233, KindBox, 2);
    putLE(p, 235, 5, 2);
    putLE(p, 237, 0x7FFF, 2);
    putLE(p, 239, AlignLeft, 2);
    putLE(p, 241, 0, 2);
    putLE(p, 243, 7, 2);
    putLE(p, 245, 8, 2);
    putLE(p, 247, 0x8000, 2);
    putLE(p, 249, std::bit_cast<uint32_t>(-0.5f), 4);

    const PrintItem item = PrintItem::decode(bytes, cp());
    EXPECT_EQ(item.NoCentering, -1);
    EXPECT_EQ(item.FontName, QStringLiteral("Courier New              "));
    EXPECT_EQ(item.FontSize, 9.75f);
    EXPECT_EQ(item.FontBold, -1);
    EXPECT_EQ(item.FontUnderline, 1);
    EXPECT_EQ(item.FontItalic, 2);
    EXPECT_EQ(item.FontStrikethru, 3);
    EXPECT_EQ(item.FontTransparent, 4);
    EXPECT_EQ(uint32_t(item.ForeColor), 0x80000012u);
    EXPECT_EQ(item.ItemX, -1.5f);
    EXPECT_EQ(item.ItemY, 8000.0f);
    EXPECT_EQ(item.ItemText.trimmed(), QString::fromUtf8("מאזן"));
    EXPECT_EQ(item.ItemText.size(), 180);
    EXPECT_EQ(item.ItemKind, KindBox);
    EXPECT_EQ(item.CharsPlacement, 5);
    EXPECT_EQ(item.PageNumber, 0x7FFF);
    EXPECT_EQ(item.HAlign, AlignLeft);
    EXPECT_EQ(item.FooterFlag, 0);
    EXPECT_EQ(item.VAlign, 7);
    EXPECT_EQ(item.Reserved, 8);
    EXPECT_EQ(item.YRelative, -32768);
    EXPECT_EQ(item.CenterOffset, -0.5f);
}

TEST(PrintItemLayout, DecodeOfEncodeGivesTheSameRecordWithTextsPadded) {
    const PrintItem item = distinctiveItem();
    const PrintItem back = PrintItem::decode(encoded(item), cp());
    EXPECT_EQ(back.FontName, item.FontName.leftJustified(25, QLatin1Char(' ')));
    EXPECT_EQ(back.ItemText, item.ItemText.leftJustified(180, QLatin1Char(' ')));
    EXPECT_EQ(back.ItemY, item.ItemY);
    EXPECT_EQ(back.YRelative, item.YRelative);
    // Every other field is compared through its bytes.
    EXPECT_EQ(encoded(back), encoded(item));
}

// ---- Definitions -------------------------------------------------------------------------------

constexpr std::array<double, 4> kMargins{1.5, 1.5, 1.5, 3.5};

Definitions::Bytes encoded(const Definitions& d) {
    Definitions::Bytes bytes;
    bytes.fill(0xAA);
    d.encode(bytes, cp());
    return bytes;
}

Definitions decoded(const Definitions::Bytes& bytes) {
    return Definitions::decode(bytes.data(), bytes.size(), cp());
}

TEST(DefinitionsLayout, TheInitialRecord) {
    const Definitions d = Definitions::initial(kMargins);
    EXPECT_EQ(d.DefFlags[0], 1);
    EXPECT_EQ(d.DefFlags[1], 0);
    EXPECT_EQ(d.DefFlags[2], 0);
    EXPECT_EQ(d.DefLongs[0], 14737632);
    EXPECT_EQ((std::array<double, 4>{d.DefReals[0], d.DefReals[1], d.DefReals[2], d.DefReals[3]}),
              kMargins);
    for (const QString& text : d.DefTexts)
        EXPECT_EQ(text, QString(30, QLatin1Char(' ')));
    EXPECT_EQ(d.DefTag, QString(14, QLatin1Char(' ')));

    const Definitions other = Definitions::initial({0, 0.25, 4, 2});
    EXPECT_EQ(other.DefReals[1], 0.25);
    EXPECT_EQ(other.DefReals[2], 4.0);
}

TEST(DefinitionsLayout, EveryArraySitsAtItsOffsetLittleEndian) {
    Definitions d = Definitions::initial(kMargins);
    d.DefFlags[49] = 0x0A0B;
    d.DefInts[0] = -3;
    d.DefInts[49] = 0x0C0D;
    d.DefTexts[0] = QString::fromUtf8("שלום");
    d.DefTexts[6] = QString(31, QLatin1Char('z'));
    d.DefLongs[49] = 0x01020304;
    d.DefReals[49] = -6.25;
    d.DefTag = QStringLiteral("TAG");
    const Definitions::Bytes bytes = encoded(d);
    const unsigned char* p = bytes.data();
    static_assert(Definitions::Size == 1024);

    EXPECT_EQ(rawAt(p, 0, 6), QByteArray("\x01\x00\x00\x00\x00\x00", 6));
    EXPECT_EQ(i16At(p, 98), 0x0A0B);
    EXPECT_EQ(i16At(p, 100), -3);
    EXPECT_EQ(i16At(p, 198), 0x0C0D);
    EXPECT_EQ(rawAt(p, 200, 30), QByteArray("\xF9\xEC\xE5\xED", 4) + QByteArray(26, ' '));
    EXPECT_EQ(rawAt(p, 230, 150), QByteArray(150, ' '));
    EXPECT_EQ(rawAt(p, 380, 30), QByteArray(30, 'z'));
    EXPECT_EQ(rawAt(p, 410, 4), QByteArray("\xE0\xE0\xE0\x00", 4));
    EXPECT_EQ(u32At(p, 606), 0x01020304u);
    EXPECT_EQ(f64At(p, 610), 1.5);
    EXPECT_EQ(f64At(p, 634), 3.5);
    EXPECT_EQ(f64At(p, 1002), -6.25);
    EXPECT_EQ(rawAt(p, 1010, 14), QByteArray("TAG") + QByteArray(11, ' '));
}

TEST(DefinitionsLayout, DecodeOfEncodeKeepsEverything) {
    Definitions d = Definitions::initial({0.5, 1, 2, 4});
    for (int i = 0; i < 50; ++i) {
        d.DefInts[i] = int16_t(i * 7 - 100);
        d.DefLongs[i] = i == 0 ? 0x00FFFF : i * 100003;
        d.DefReals[i] = i < 4 ? d.DefReals[i] : i / 8.0;
    }
    d.DefTexts[3] = QString::fromUtf8("טקסט").leftJustified(30, QLatin1Char(' '));
    d.DefTag = QStringLiteral("abcdefghijklmn");
    const Definitions back = decoded(encoded(d));
    EXPECT_EQ(back.DefFlags, d.DefFlags);
    EXPECT_EQ(back.DefInts, d.DefInts);
    EXPECT_EQ(back.DefTexts, d.DefTexts);
    EXPECT_EQ(back.DefLongs, d.DefLongs);
    EXPECT_EQ(back.DefReals, d.DefReals);
    EXPECT_EQ(back.DefTag, d.DefTag);
}

TEST(DefinitionsDecode, AShortRecordIsZeroFilledFirst) {
    const Definitions::Bytes full = encoded(Definitions::initial(kMargins));
    // Only flags, ints and texts are present: longs and reals read as zero, which are valid.
    const Definitions d = Definitions::decode(full.data(), 410, cp());
    EXPECT_EQ(d.DefFlags[0], 1);
    EXPECT_EQ(d.DefTexts[6], QString(30, QLatin1Char(' ')));
    EXPECT_EQ(d.DefLongs[0], 0);
    EXPECT_EQ(d.DefReals[0], 0.0);
    EXPECT_EQ(d.DefReals[3], 0.0);
    EXPECT_EQ(d.DefTag, QString(14, QChar(0)));

    const Definitions empty = Definitions::decode(full.data(), 0, cp());
    EXPECT_EQ(empty.DefFlags[0], 0);
    EXPECT_EQ(empty.DefLongs[0], 0);

    // A longer buffer is read only as far as the record goes.
    std::vector<unsigned char> longer(full.begin(), full.end());
    longer.resize(3000, 0x55);
    EXPECT_EQ(Definitions::decode(longer.data(), qsizetype(longer.size()), cp()).DefTag,
              QString(14, QLatin1Char(' ')));
}

TEST(DefinitionsDecode, ImpossibleMarginsTakeTheirDefaults) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Definitions d = Definitions::initial(kMargins);
    d.DefReals = {};
    d.DefReals[0] = nan;
    d.DefReals[1] = -inf;
    d.DefReals[2] = -0.01;
    d.DefReals[3] = 4.0001;
    Definitions back = decoded(encoded(d));
    EXPECT_EQ(back.DefReals[0], 1.5);
    EXPECT_EQ(back.DefReals[1], 1.5);
    EXPECT_EQ(back.DefReals[2], 1.5);
    EXPECT_EQ(back.DefReals[3], 3.5);

    d.DefReals[0] = inf;
    d.DefReals[1] = 0;
    d.DefReals[2] = 4;
    d.DefReals[3] = 0.37;
    back = decoded(encoded(d));
    EXPECT_EQ(back.DefReals[0], 1.5);
    EXPECT_EQ(back.DefReals[1], 0.0);
    EXPECT_EQ(back.DefReals[2], 4.0);
    EXPECT_EQ(back.DefReals[3], 0.37);
    // Only the four margins are checked.
    d.DefReals[4] = nan;
    EXPECT_TRUE(std::isnan(decoded(encoded(d)).DefReals[4]));
}

TEST(DefinitionsDecode, AnImpossibleBackgroundColourTakesTheDefault) {
    Definitions d = Definitions::initial(kMargins);
    for (const uint32_t bad : {0x01000000u, 0xFFFFFFFFu, 0x80000019u, 0x7FFFFFFFu, 0x40000000u}) {
        d.DefLongs[0] = int32_t(bad);
        EXPECT_EQ(decoded(encoded(d)).DefLongs[0], Definitions::DefaultBackColor)
            << std::hex << bad;
    }
    for (const uint32_t good : {0u, 0x00FFFFFFu, 0x000000FFu, 0x80000000u, 0x80000018u}) {
        d.DefLongs[0] = int32_t(good);
        EXPECT_EQ(uint32_t(decoded(encoded(d)).DefLongs[0]), good) << std::hex << good;
    }
}

TEST(DefinitionsDecode, ZoomFlagsOtherThanZeroOrOneTakeTheirDefaults) {
    Definitions d = Definitions::initial(kMargins);
    d.DefFlags[0] = 2;
    d.DefFlags[1] = -1;
    d.DefFlags[2] = 256;
    d.DefFlags[3] = 77; // not a zoom flag: kept
    Definitions back = decoded(encoded(d));
    EXPECT_EQ(back.DefFlags[0], 1);
    EXPECT_EQ(back.DefFlags[1], 0);
    EXPECT_EQ(back.DefFlags[2], 0);
    EXPECT_EQ(back.DefFlags[3], 77);

    d.DefFlags[0] = 0;
    d.DefFlags[1] = 1;
    d.DefFlags[2] = 1;
    back = decoded(encoded(d));
    EXPECT_EQ(back.DefFlags[0], 0);
    EXPECT_EQ(back.DefFlags[1], 1);
    EXPECT_EQ(back.DefFlags[2], 1);
}

} // namespace
} // namespace palvex::test
