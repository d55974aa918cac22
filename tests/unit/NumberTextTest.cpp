// Numbers as text in records and files, and fixed-width text fields.

#include "core/NumberText.h"
#include "core/FixedField.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace palvex::test {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// ---- formatSingle / formatDouble ---------------------------------------------------------------

TEST(NumberFormatting, ShortestFormWithinSevenSignificantDigitsForSingles) {
    EXPECT_EQ(formatSingle(1.5f), s("1.5"));
    EXPECT_EQ(formatSingle(1440.0f), s("1440"));
    EXPECT_EQ(formatSingle(1234567.0f), s("1234567"));
    // 0.1f is 0.100000001490116...: only seven digits may show.
    EXPECT_EQ(formatSingle(0.1f), s("0.1"));
    EXPECT_EQ(formatSingle(2.0f / 3.0f), s("0.6666667"));
    EXPECT_EQ(formatSingle(-2.25f), s("-2.25"));
}

TEST(NumberFormatting, ShortestFormWithinFifteenSignificantDigitsForDoubles) {
    EXPECT_EQ(formatDouble(0.1 + 0.2), s("0.3"));
    EXPECT_EQ(formatDouble(123456789012345.0), s("123456789012345"));
    EXPECT_EQ(formatDouble(1.0 / 3.0), s("0.333333333333333"));
    EXPECT_EQ(formatDouble(0.0001), s("0.0001"));
    EXPECT_EQ(formatDouble(-1.5), s("-1.5"));
}

TEST(NumberFormatting, LargeAndTinyValuesUseTheExponentForm) {
    EXPECT_EQ(formatSingle(12345678.0f), s("1.234568E+07"));
    EXPECT_EQ(formatSingle(1e20f), s("1E+20"));
    EXPECT_EQ(formatDouble(1e20), s("1E+20"));
    EXPECT_EQ(formatDouble(1234567890123456.0), s("1.23456789012346E+15"));
    EXPECT_EQ(formatDouble(1e-5), s("1E-05"));
    EXPECT_EQ(formatDouble(-2.5e-10), s("-2.5E-10"));
}

TEST(NumberFormatting, NoNegativeZeroAndNoLeadingBlank) {
    EXPECT_EQ(formatSingle(-0.0f), s("0"));
    EXPECT_EQ(formatDouble(-0.0), s("0"));
    EXPECT_EQ(formatSingle(0.0f), s("0"));
    for (const double v : {0.5, 7.0, 1e20, -3.0, 1e-7}) {
        EXPECT_FALSE(formatDouble(v).startsWith(QLatin1Char(' '))) << v;
        EXPECT_FALSE(formatSingle(float(v)).startsWith(QLatin1Char(' '))) << v;
    }
}

// ---- parseStrictNumber -------------------------------------------------------------------------

TEST(StrictNumber, ReadsDecimalExponentAndSignedForms) {
    EXPECT_EQ(parseStrictNumber(s("42")), 42.0);
    EXPECT_EQ(parseStrictNumber(s("-3.5")), -3.5);
    EXPECT_EQ(parseStrictNumber(s("+7")), 7.0);
    EXPECT_EQ(parseStrictNumber(s(".5")), 0.5);
    EXPECT_EQ(parseStrictNumber(s("1e3")), 1000.0);
    EXPECT_EQ(parseStrictNumber(s("2.5E-2")), 0.025);
}

TEST(StrictNumber, BlanksAroundTheNumberAreAllowed) {
    EXPECT_EQ(parseStrictNumber(s("  12  ")), 12.0);
    EXPECT_EQ(parseStrictNumber(s("\t-1\n")), -1.0);
    EXPECT_EQ(parseStrictNumber(s(" &H10 ")), 16.0);
}

TEST(StrictNumber, HexadecimalLiterals) {
    EXPECT_EQ(parseStrictNumber(s("&HFF0000")), 16711680.0);
    EXPECT_EQ(parseStrictNumber(s("&HFF")), 255.0);
    EXPECT_EQ(parseStrictNumber(s("&h1f")), 31.0);
    // Up to four digits is a 16-bit pattern, up to eight a 32-bit one.
    EXPECT_EQ(parseStrictNumber(s("&HFFFF")), -1.0);
    EXPECT_EQ(parseStrictNumber(s("&H8000")), -32768.0);
    EXPECT_EQ(parseStrictNumber(s("&H0FFFF")), 65535.0);
    EXPECT_EQ(parseStrictNumber(s("&HFFFFFFFF")), -1.0);
    EXPECT_EQ(parseStrictNumber(s("&H80000005")), double(INT32_MIN + 5));
    EXPECT_EQ(parseStrictNumber(s("-&H10")), -16.0);
}

TEST(StrictNumber, AnythingButOneWholeNumberIsRejected) {
    for (const char* bad : {"", "   ", "abc", "12abc", "1 2", "--1", "+-1", "1,5", "1e", "&H",
                            "&HG1", "&H123456789", "0x10", "1.2.3", "-", "."})
        EXPECT_FALSE(parseStrictNumber(s(bad)).has_value()) << bad;
    EXPECT_FALSE(parseStrictNumber(s("שלום")).has_value());
}

TEST(StrictNumber, OutOfRangeIsANumberButNaNAndInfinityWordsAreNot) {
    // Too large is still a number, so a caller can tell overflow from a type mismatch.
    EXPECT_EQ(parseStrictNumber(s("1e999")), HUGE_VAL);
    EXPECT_EQ(parseStrictNumber(s("-1e999")), -HUGE_VAL);
    EXPECT_EQ(parseStrictNumber(s("1e-999")), 0.0);
    EXPECT_FALSE(parseStrictNumber(s("inf")).has_value());
    EXPECT_FALSE(parseStrictNumber(s("nan")).has_value());
}

// ---- parseLeadingNumber ------------------------------------------------------------------------

void expectLeading(const char* text, double value) {
    const LeadingNumber n = parseLeadingNumber(QString::fromUtf8(text));
    EXPECT_EQ(n.value, value) << '"' << text << '"';
    EXPECT_FALSE(n.overflow) << '"' << text << '"';
}

TEST(LeadingNumber, TakesTheLeadingNumericPart) {
    expectLeading("12abc", 12);
    expectLeading("3.5e2xyz", 350);
    expectLeading("2.5.6", 2.5);
    expectLeading("-.5", -0.5);
    expectLeading("+7", 7);
    expectLeading("1e", 1);
    expectLeading("1e+", 1);
    expectLeading("1d2", 100);
    expectLeading("99999999999999999999", 1e20);
}

TEST(LeadingNumber, BlanksAreSkippedAnywhereInTheNumber) {
    expectLeading("   42", 42);
    expectLeading(" \t\r\n 42", 42);
    expectLeading("1 000", 1000);
    expectLeading("  1 2 3 x 4", 123);
    expectLeading("- 5", -5);
}

TEST(LeadingNumber, NoNumberReadsAsZero) {
    expectLeading("", 0);
    expectLeading("   ", 0);
    expectLeading("abc", 0);
    expectLeading("-", 0);
    expectLeading(".", 0);
    expectLeading("e5", 0);
    const LeadingNumber minusZero = parseLeadingNumber(u"-0");
    EXPECT_FALSE(std::signbit(minusZero.value));
}

TEST(LeadingNumber, OverflowIsReportedNeverInfinity) {
    for (const char* big : {"1e999", "-1e999", "1.8e308", "1e99999999999999999999"}) {
        const LeadingNumber n = parseLeadingNumber(QString::fromLatin1(big));
        EXPECT_TRUE(n.overflow) << big;
        EXPECT_EQ(n.value, 0) << big;
    }
    // Digits only, beyond the range of a double.
    const LeadingNumber digits = parseLeadingNumber(QString(400, QLatin1Char('9')));
    EXPECT_TRUE(digits.overflow);
    EXPECT_TRUE(std::isfinite(digits.value));
}

TEST(LeadingNumber, UnderflowReadsAsZeroWithoutOverflow) {
    expectLeading("1e-999", 0);
    expectLeading("-1e-400", 0);
    expectLeading("0e999", 0);
}

TEST(LeadingNumber, ATinyValueWrittenOutInFullIsNoOverflow) {
    // 10^-401 without an exponent reads as zero, just as "1e-401" does.
    const std::string text = "0." + std::string(400, '0') + "1";
    const LeadingNumber n = parseLeadingNumber(QString::fromLatin1(text.c_str()));
    EXPECT_FALSE(n.overflow);
    EXPECT_EQ(n.value, 0);
}

TEST(LeadingNumber, AHugeMantissaWithANegativeExponentStillOverflows) {
    // 10^400 * 10^-10 is far beyond a double although the exponent is negative.
    const std::string text = "1" + std::string(400, '0') + "e-10";
    const LeadingNumber n = parseLeadingNumber(QString::fromLatin1(text.c_str()));
    EXPECT_TRUE(n.overflow);
    EXPECT_EQ(n.value, 0);
}

// ---- FitRight / padRight -----------------------------------------------------------------------

TEST(FixedField, FitRightPadsOnTheLeftOrCutsToTheFirstCharacters) {
    EXPECT_EQ(FitRight(s("abc"), 5), s("  abc"));
    EXPECT_EQ(FitRight(s("abc"), 3), s("abc"));
    EXPECT_EQ(FitRight(s("abcdef"), 3), s("abc"));
    EXPECT_EQ(FitRight(s(""), 2), s("  "));
    EXPECT_EQ(FitRight(s("abc"), 0), s(""));
    EXPECT_EQ(FitRight(s("1440"), 10), s("      1440"));
    EXPECT_EQ(FitRight(s("שלום"), 6), s("  שלום"));
}

TEST(FixedField, PadRightPadsOnTheRightOrCutsToTheFirstCharacters) {
    EXPECT_EQ(padRight(s("ab"), 4), s("ab  "));
    EXPECT_EQ(padRight(s("abcdef"), 4), s("abcd"));
    EXPECT_EQ(padRight(s(""), 3), s("   "));
    EXPECT_EQ(padRight(s("שלום עולם"), 4), s("שלום"));
    EXPECT_EQ(padRight(s("x"), 180).size(), 180);
}

} // namespace
} // namespace palvex::test
