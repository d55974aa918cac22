// "{page}" and "{pages}" fill in; "{{" and "}}" print one brace, so that a template listing can
// show "{page}" itself: on the page, in the PDF, in search, and through a printout read back.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "preview/Search.h"
#include "recording/PageTokens.h"

namespace palvex::test {
namespace {

TEST(PageTokens, DoubledBracesStayTextUntilShownAndNeverBecomeTokens) {
    // Recorded: the page number in, doubled braces kept for later fillings.
    EXPECT_EQ(withPageNumber(QStringLiteral("{{page}} is {page}"), 3),
              QStringLiteral("{{page}} is 3"));
    // Shown: the count in, each doubled brace one.
    EXPECT_EQ(withPageCount(QStringLiteral("{{page}} of {{pages}} = 3 of {pages}"), 7),
              QStringLiteral("{page} of {pages} = 3 of 7"));
    EXPECT_EQ(withPageCount(QStringLiteral("{{{page}}}"), 7), QStringLiteral("{{page}}"));
    EXPECT_EQ(withPageCount(QStringLiteral("a }} b {{ c } d {"), 7),
              QStringLiteral("a } b { c } d {"));
    // Before the report ends there is no count: the token waits, the braces are one already.
    EXPECT_EQ(withPageCount(QStringLiteral("{pages} {{x}}"), 0), QStringLiteral("{pages} {x}"));
    // Saved to a printout a later report reads back: the count in, the braces still doubled.
    EXPECT_EQ(withPageCountKept(QStringLiteral("{{page}} of {pages}"), 7),
              QStringLiteral("{{page}} of 7"));
    // Plain texts pass untouched.
    const QString plain = QStringLiteral("no braces here");
    EXPECT_EQ(withPageCount(plain, 7).constData(), plain.constData());
}

class PageTokenReports : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        startInUtf8();
        ASSERT_EQ(ctl().let_PageNumberFormat(QStringLiteral("{{page}} = {page}")), Status::Ok);
    }
};

TEST_F(PageTokenReports, ALiteralTokenPrintsSearchesAndSurvivesAPrintout) {
    QString name = path("listing.prn");
    bool cancel = true;
    ASSERT_EQ(ctl().SavePrint(name, cancel), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("use {{page}} for the number, {{pages}} for the count"),
                   A2_JumpToNextLine),
              Status::Ok);
    ASSERT_EQ(text(QStringLiteral("this is page {page} of {pages}"), A2_JumpToNextLine),
              Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = path("listing.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    EXPECT_TRUE(qpdfCheck(pdf).clean());
    const QString words = pdfText(pdf);
    EXPECT_TRUE(words.contains(QStringLiteral("use {page} for the number, {pages} for the count")))
        << qPrintable(words);
    EXPECT_TRUE(words.contains(QStringLiteral("this is page 1 of 1"))) << qPrintable(words);
    // The page number's format: recorded with its number, its literal braces shown single.
    const PrintItem number = item(store().itemCount());
    ASSERT_EQ(number.FooterFlag, 3);
    EXPECT_EQ(number.ItemText.trimmed(), QStringLiteral("{{page}} = 1"));
    EXPECT_FALSE(words.contains(QStringLiteral("{{")) || words.contains(QStringLiteral("}}")))
        << qPrintable(words);
    // Search finds the literal text as it is shown.
    search(QStringLiteral("{page} for"));
    EXPECT_EQ(ctl().internals().search().searchStart(), 2); // after item 1, the listing's line

    // The printout keeps the braces doubled, so a report that reads it prints them as text.
    m_control = makeControl();
    ASSERT_EQ(ctl().let_CodePage(65001), Status::Ok);
    start();
    ASSERT_EQ(ctl().ReadPrint(name), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    const QString again = pdfText(pdf);
    EXPECT_TRUE(again.contains(QStringLiteral("use {page} for the number, {pages} for the count")))
        << qPrintable(again);
}

} // namespace
} // namespace palvex::test
