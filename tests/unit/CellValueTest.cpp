// What a table cell's text holds for a spreadsheet: amounts as the report writes them (grouped,
// with a leading or trailing minus, with a currency sign), day-first dates, and everything else
// as text, Hebrew with digits and bare digit strings such as account numbers included.

#include "core/CellValue.h"

#include <gtest/gtest.h>

namespace palvex {
namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void expectAmount(const char* text, double value, const char* format) {
    const CellValue cell = CellValue::of(u(text));
    ASSERT_EQ(cell.kind, CellValue::Kind::Amount) << text;
    EXPECT_DOUBLE_EQ(cell.amount, value) << text;
    EXPECT_EQ(cell.numberFormat, u(format)) << text;
    EXPECT_EQ(cell.text, u(text)) << "the shown text stays for CSV";
}

void expectText(const char* text) {
    EXPECT_EQ(CellValue::of(u(text)).kind, CellValue::Kind::Text) << text;
}

void expectDate(const char* text, int y, int m, int d) {
    const CellValue cell = CellValue::of(u(text));
    ASSERT_EQ(cell.kind, CellValue::Kind::Date) << text;
    EXPECT_EQ(cell.year, y) << text;
    EXPECT_EQ(cell.month, m) << text;
    EXPECT_EQ(cell.day, d) << text;
}

TEST(CellValue, AmountsKeepTheirValueAndTheFormTheReportShowsThemIn) {
    expectAmount("1,234.50", 1234.5, "#,##0.00");
    expectAmount("-1,234.50", -1234.5, "#,##0.00");
    // The trailing minus of accounting reports: negative, and shown the same way again.
    expectAmount("1,234.50-", -1234.5, "#,##0.00;#,##0.00-");
    expectAmount("1,234,567.5", 1234567.5, "#,##0.0");
    expectAmount("1234.50", 1234.5, "0.00");
    expectAmount("-12", -12, "0");
    expectAmount("0.00", 0, "0.00");
    expectAmount("-0.00", 0, "0.00");
    expectAmount("1,000", 1000, "#,##0");
    // A minus sign (U+2212) is a minus too.
    expectAmount("\xE2\x88\x92"
                 "5.25",
                 -5.25, "0.00");
}

TEST(CellValue, TheCurrencySignStaysWhereItStood) {
    expectAmount("₪ 1,234.50", 1234.5, "\"₪ \"#,##0.00");
    expectAmount("₪1,234.50", 1234.5, "\"₪\"#,##0.00");
    expectAmount("1,234.50 ₪", 1234.5, "#,##0.00\" ₪\"");
    expectAmount("-₪ 7.00", -7, "\"₪ \"0.00");
    expectAmount("₪ 7.00-", -7, "\"₪ \"0.00;\"₪ \"0.00-");
    // A no-break space between the sign and the digits is a blank.
    expectAmount("$\xC2\xA0"
                 "3",
                 3, "\"$ \"0");
    expectAmount("€5", 5, "\"€\"0");
}

TEST(CellValue, DirectionMarksAndBlanksAroundANumberAreNotPartOfIt) {
    expectAmount("\xE2\x80\x8E"
                 "1,234.50-"
                 "\xE2\x80\x8E",
                 -1234.5, "#,##0.00;#,##0.00-");
    expectAmount("  \xE2\x81\xA6"
                 "-3.5"
                 "\xE2\x81\xA9 ",
                 -3.5, "0.0");
    const CellValue marked = CellValue::of(u("\xE2\x80\x8F"
                                             "31/12/2026"));
    EXPECT_EQ(marked.kind, CellValue::Kind::Date);
}

TEST(CellValue, DigitsAloneStayTextSoAccountNumbersKeepTheirForm) {
    expectText("100001");
    expectText("0501234567");
    expectText("2026");
    expectText("0");
}

TEST(CellValue, WhatOnlyLooksLikeAnAmountStaysText) {
    expectText("1,23.50");   // a group of two
    expectText("1,2345.00"); // a group of four
    expectText(",123");
    expectText("1,234.");
    expectText(".50");
    expectText("1.2.3");
    expectText("-1,234.50-"); // two minus signs
    expectText("--5");
    expectText("₪");
    expectText("-");
    expectText("1 234.50"); // blanks do not group here
    expectText("12%");
    expectText("₪ 5 ₪");
    // Sixteen significant digits: a double would not give them back.
    expectText("1,234,567,890,123,456.00");
    expectAmount("123,456,789,012.345", 123456789012.345, "#,##0.000");
    // Digits of other scripts are text to a spreadsheet.
    expectText("\xD9\xA1\xD9\xA2.\xD9\xA3"); // Arabic-Indic 12.3
}

TEST(CellValue, HebrewTextsWithDigitsAreText) {
    expectText("חשבון 100");
    expectText("2026 שנת");
    expectText("קופה 1,234.50");
    expectText("1,234.50 ש\"ח");
    expectText("");
    expectText("   ");
}

TEST(CellValue, DatesAreDayFirstAndOnlyRealDates) {
    expectDate("31/12/2026", 2026, 12, 31);
    expectDate("1/2/2026", 2026, 2, 1); // 1 February, not 2 January
    expectDate("01.02.2026", 2026, 2, 1);
    expectDate("2026-12-31", 2026, 12, 31);
    expectDate("29/02/2028", 2028, 2, 29);
    // Month first is not guessed: month 31 does not exist, so it stays as written.
    expectText("12/31/2026");
    expectText("29/02/2027"); // not a leap year
    expectText("31/04/2026");
    expectText("31/12/26"); // a two-digit year's century is a guess
    expectText("31/12.2026");
    expectText("2026-1-5");
    expectText("31/12/1899"); // before a spreadsheet's first date
}

// A column read whole: the cells as the column leaves them.
std::vector<CellValue> settled(std::initializer_list<const char*> texts) {
    std::vector<CellValue> cells;
    for (const char* t : texts)
        cells.push_back(CellValue::of(QString::fromUtf8(t)));
    ColumnReading column;
    for (const CellValue& cell : cells)
        column.see(cell);
    for (CellValue& cell : cells)
        column.settle(cell);
    return cells;
}

TEST(CellValue, AColumnReadWholeMakesItsDigitsNumbersAndItsAmountsAlike) {
    // Quantities: digits alone, among amounts and empty cells, are numbers.
    const std::vector<CellValue> quantities = settled({"3", "", "12", "1.5"});
    EXPECT_EQ(quantities[0].kind, CellValue::Kind::Amount);
    EXPECT_EQ(quantities[0].amount, 3);
    EXPECT_EQ(quantities[0].numberFormat, QStringLiteral("0"));
    EXPECT_EQ(quantities[1].kind, CellValue::Kind::Text);
    // A code with a leading zero keeps the whole column text; so does a word among the digits.
    for (const auto& column : {settled({"0501234567", "0521234567"}), settled({"100001", "קופה"})})
        EXPECT_EQ(column[0].kind, CellValue::Kind::Text) << column[0].text.toStdString();
    EXPECT_EQ(settled({"100", "0"})[1].kind, CellValue::Kind::Amount) << "zero alone is a number";
    // One format down an amount column: grouped when any is, a trailing minus when any has one.
    const std::vector<CellValue> amounts = settled({"35.50", "1,850.00", "12.00-", "\u20aa 7.00"});
    EXPECT_EQ(amounts[0].numberFormat, QStringLiteral("#,##0.00;#,##0.00-"));
    EXPECT_EQ(amounts[1].numberFormat, QStringLiteral("#,##0.00;#,##0.00-"));
    EXPECT_EQ(amounts[2].numberFormat, QStringLiteral("#,##0.00;#,##0.00-"));
    EXPECT_EQ(amounts[3].numberFormat,
              QString::fromUtf8("\"\u20aa \"#,##0.00;\"\u20aa \"#,##0.00-"));
}

} // namespace
} // namespace palvex
