// The Windows-1255 code page where text meets a file.

#include "core/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace palvex::test {
namespace {

QByteArray bytes(std::initializer_list<unsigned char> list) {
    QByteArray out;
    for (const unsigned char b : list)
        out.append(char(b));
    return out;
}

const CodePage& hebrew() {
    static const CodePage page(1255);
    return page;
}

TEST(CodePage1255, HebrewWordsRoundTrip) {
    const QString shalom = QString::fromUtf8("שלום");
    EXPECT_EQ(hebrew().encode(shalom), bytes({0xF9, 0xEC, 0xE5, 0xED}));
    EXPECT_EQ(hebrew().decode(bytes({0xF9, 0xEC, 0xE5, 0xED})), shalom);
}

TEST(CodePage1255, TheWholeAlphabetMapsOntoE0ToFA) {
    for (char16_t c = 0x05D0; c <= 0x05EA; ++c) {
        const unsigned char b = 0xE0 + (c - 0x05D0);
        const QString letter(QChar{c});
        ASSERT_EQ(hebrew().encode(letter), QByteArray(1, char(b))) << int(c);
        EXPECT_EQ(hebrew().charOf(b), QChar(c)) << int(b);
    }
}

TEST(CodePage1255, PunctuationAndPointsOfThePage) {
    EXPECT_EQ(hebrew().encode(QString(QChar(0x05F4))), bytes({0xD8})); // gershayim
    EXPECT_EQ(hebrew().encode(QString(QChar(0x05F3))), bytes({0xD7})); // geresh
    EXPECT_EQ(hebrew().encode(QString(QChar(0x05F0))), bytes({0xD4})); // double vav
    EXPECT_EQ(hebrew().encode(QString(QChar(0x20AA))), bytes({0xA4})); // new sheqel sign
    EXPECT_EQ(hebrew().encode(QString(QChar(0x20AC))), bytes({0x80})); // euro sign
    EXPECT_EQ(hebrew().encode(QString(QChar(0x05B8))), bytes({0xC8})); // qamats
    EXPECT_EQ(hebrew().decode(bytes({0xD8})), QString(QChar(0x05F4)));
    EXPECT_EQ(hebrew().decode(bytes({0xD4})), QString(QChar(0x05F0)));
    // A letter followed by a combining point decodes to both characters, in order.
    EXPECT_EQ(hebrew().decode(bytes({0xF9, 0xC8})), QString::fromUtf8("שָ"));
}

TEST(CodePage1255, AsciiIsUnchanged) {
    QString ascii;
    QByteArray raw;
    for (int c = 0; c < 0x80; ++c) {
        ascii.append(QChar(c));
        raw.append(char(c));
    }
    EXPECT_EQ(hebrew().encode(ascii), raw);
    EXPECT_EQ(hebrew().decode(raw), ascii);
}

TEST(CodePage1255, CharactersOutsideThePageBecomeQuestionMarks) {
    EXPECT_EQ(hebrew().encode(QString::fromUtf8("aЖb")), QByteArray("a?b"));
    EXPECT_EQ(hebrew().encode(QString::fromUtf8("中")), QByteArray("?"));
    EXPECT_EQ(hebrew().encode(QString(QChar(0xFFFD))), QByteArray("?"));
    // One byte per UTF-16 unit, so the length of a field never changes.
    EXPECT_EQ(hebrew().encode(QString::fromUtf8("x😀y")), QByteArray("x??y"));
}

TEST(CodePage1255, EveryByteDecodesToExactlyOneCharacter) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = hebrew().decode(all);
    ASSERT_EQ(text.size(), 256);
    // Every defined byte encodes back to itself.
    for (int b = 0; b < 256; ++b) {
        if (text[b] == QChar(0xFFFD)) continue;
        EXPECT_EQ(uchar(hebrew().encode(QString(text[b]))[0]), b) << b;
    }
}

TEST(CodePage1255, EncodeIntoPadsWithSpacesAndCuts) {
    char field[8];
    std::fill(std::begin(field), std::end(field), 'X');
    hebrew().encodeInto(QString::fromUtf8("שלום"), field, 6);
    EXPECT_EQ(QByteArray(field, 8), bytes({0xF9, 0xEC, 0xE5, 0xED, ' ', ' ', 'X', 'X'}));

    std::fill(std::begin(field), std::end(field), 'X');
    hebrew().encodeInto(QString::fromUtf8("abcdefghij"), field, 4);
    EXPECT_EQ(QByteArray(field, 8), QByteArray("abcdXXXX"));

    hebrew().encodeInto(QString(), field, 3);
    EXPECT_EQ(QByteArray(field, 3), QByteArray("   "));
}

TEST(CodePage1255, AnUnknownPageFallsBackTo1255) {
    const CodePage unknown(99999);
    EXPECT_EQ(unknown.number(), 1255);
    EXPECT_EQ(unknown.encode(QString::fromUtf8("שלום")), bytes({0xF9, 0xEC, 0xE5, 0xED}));
}

} // namespace
} // namespace palvex::test
