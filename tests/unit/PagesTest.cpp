// Pages: page ends and the page index, page numbers, footers, headers and automatic breaks.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "preview/PageRenderer.h"

#include <QComboBox>

#include <cmath>

namespace palvex::test {
namespace {

class Pages : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        start();
    }
    // The items whose text (trimmed) is `text`.
    std::vector<PrintItem> itemsWithText(const QString& text) {
        std::vector<PrintItem> found;
        for (int32_t n = 1; n <= store().itemCount(); ++n)
            if (item(n).ItemText.trimmed() == text) found.push_back(item(n));
        return found;
    }
    void header(int16_t n, const QString& text, int32_t align = 0, int16_t before = 0,
                int16_t after = 1) {
        QString t = text;
        auto a = AlignType(align);
        ASSERT_EQ(ctl().fxNameHeader(n, t), Status::Ok);
        ASSERT_EQ(ctl().fxAlignHeader(n, a), Status::Ok);
        ASSERT_EQ(ctl().fxLinesBeforeHeader(n, before), Status::Ok);
        ASSERT_EQ(ctl().fxEnterAfterHeader(n, after), Status::Ok);
    }
    float y() { return ctl().internals().recordingSurface().CurrentY(); }
};

TEST_F(Pages, PageEndsBuildThePageIndexAndTheItemRanges) {
    for (int page = 0; page < 3; ++page) {
        for (int line = 0; line < 4; ++line)
            ASSERT_EQ(text(QStringLiteral("line"), A2_JumpToNextLine), Status::Ok);
        if (page < 2) {
            ASSERT_EQ(ctl().printPage(), Status::Ok);
        }
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const ReportState& s = ctl().internals().report();
    // Each page: four lines and its page number.
    EXPECT_EQ(s.pageIndex, (std::vector<int32_t>{0, 5, 10, 15}));
    EXPECT_EQ(s.lastPageIndex, 2);
    EXPECT_TRUE(store().pageEndsAfter(5));
    EXPECT_TRUE(store().pageEndsAfter(10));
    EXPECT_FALSE(store().pageEndsAfter(15));
    EXPECT_EQ(item(6).PageNumber, 2);
    EXPECT_EQ(item(15).PageNumber, 3);
    const PageRenderer& r = ctl().internals().renderer();
    EXPECT_EQ(r.rangeOfPage(0).first, 1);
    EXPECT_EQ(r.rangeOfPage(0).last, 5);
    EXPECT_EQ(r.rangeOfPage(1).first, 6);
    EXPECT_EQ(r.rangeOfPage(2).last, 15);
    // The first page is shown.
    EXPECT_EQ(ctl().internals().view().currentPage, 1);
    EXPECT_EQ(r.rangeFirst, 1);
    EXPECT_EQ(r.rangeLast, 5);
}

TEST_F(Pages, PageNumbersStartAtTheFirstPageNumberCentredOnThePageNumberLine) {
    int16_t first = 5;
    ASSERT_EQ(ctl().fxNumberOfFirstPage(first), Status::Ok);
    for (int page = 0; page < 3; ++page) {
        ASSERT_EQ(text(QStringLiteral("body")), Status::Ok);
        ASSERT_EQ(ctl().printPage(), Status::Ok);
    }
    const auto numbers = {itemsWithText(QStringLiteral("-5-")),
                          itemsWithText(QStringLiteral("-6-")),
                          itemsWithText(QStringLiteral("-7-"))};
    for (const auto& found : numbers) {
        ASSERT_EQ(found.size(), 1u);
        const PrintItem& n = found.front();
        EXPECT_EQ(n.HAlign, AlignCenter);
        EXPECT_EQ(n.FooterFlag, FooterItem);
        EXPECT_EQ(n.YRelative, 1);
        EXPECT_FLOAT_EQ(n.ItemY, 0); // on the page-number line itself
        EXPECT_EQ(n.NoCentering, 1);
        EXPECT_FLOAT_EQ(n.FontSize, 14);
        EXPECT_EQ(n.FontBold, -1);
    }
}

TEST_F(Pages, ThePageFootersFontDoesNotLeakIntoTheNextPage) {
    EXPECT_EQ(ctl().let_FontSize(9), Status::Ok);
    EXPECT_EQ(ctl().let_ForeColor(0x0000FF), Status::Ok);
    QString rule = QStringLiteral("=");
    EXPECT_EQ(ctl().PrintingLineAbovePagenumber(rule), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("body")), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("next page")), Status::Ok);
    const PrintItem next = itemsWithText(QStringLiteral("next page")).at(0);
    EXPECT_FLOAT_EQ(next.FontSize, 9);
    EXPECT_EQ(next.FontBold, 0);
    EXPECT_EQ(next.ForeColor, 0x0000FF);
}

// Headers record in fonts of their own, also at the automatic breaks of checkMin1 and checkMin2;
// afterwards the text prints in the font the host's properties read.
TEST_F(Pages, HeaderFontsDoNotLeakIntoTheBodyThePropertiesStillDescribe) {
    ASSERT_EQ(ctl().let_Header(true), Status::Ok);
    header(1, QStringLiteral("Title"));
    int16_t one = 1;
    QString miriam = QStringLiteral("Miriam CLM");
    float big = 20;
    bool off = false;
    int32_t red = 0x0000FF;
    ASSERT_EQ(ctl().fxFontNameHeader(one, miriam), Status::Ok);
    ASSERT_EQ(ctl().fxFontsizeHeader(one, big), Status::Ok);
    ASSERT_EQ(ctl().fxFontBoldHeader(one, off), Status::Ok);
    ASSERT_EQ(ctl().fxForecolorHeader(one, red), Status::Ok);

    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Liberation Serif")), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(9), Status::Ok);
    EXPECT_EQ(ctl().let_FontBold(true), Status::Ok);
    EXPECT_EQ(ctl().let_FontItalic(true), Status::Ok);
    EXPECT_EQ(ctl().let_FontUnderline(true), Status::Ok);
    EXPECT_EQ(ctl().let_ForeColor(0xFF0000), Status::Ok);
    auto expectHostFont = [&](const QString& body) {
        const std::vector<PrintItem> found = itemsWithText(body);
        ASSERT_EQ(found.size(), 1u) << qPrintable(body);
        const PrintItem& i = found[0];
        EXPECT_EQ(i.FontName.trimmed(), QStringLiteral("Liberation Serif")) << qPrintable(body);
        EXPECT_FLOAT_EQ(i.FontSize, 9) << qPrintable(body);
        EXPECT_EQ(i.FontBold, -1) << qPrintable(body);
        EXPECT_EQ(i.FontItalic, -1) << qPrintable(body);
        EXPECT_EQ(i.FontUnderline, -1) << qPrintable(body);
        EXPECT_EQ(i.ForeColor, 0xFF0000) << qPrintable(body);
    };

    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("first body line"), A2_JumpToNextLine), Status::Ok);
    expectHostFont(QStringLiteral("first body line"));
    EXPECT_FLOAT_EQ(itemsWithText(QStringLiteral("Title")).at(0).FontSize, 20);

    // Down the page until checkMin1 breaks it and records the headers on the next page.
    const int32_t pages = ctl().internals().report().pagesEnded;
    for (int line = 0; ctl().internals().report().pagesEnded == pages && line < 500; ++line) {
        ASSERT_EQ(ctl().JumpToNextLine(), Status::Ok);
        ASSERT_EQ(ctl().checkMin1(), Status::Ok);
    }
    ASSERT_EQ(ctl().internals().report().pagesEnded, pages + 1);
    ASSERT_EQ(itemsWithText(QStringLiteral("Title")).size(), 2u);
    ASSERT_EQ(text(QStringLiteral("after the break")), Status::Ok);
    expectHostFont(QStringLiteral("after the break"));
}

TEST_F(Pages, DontPrintNumberPageLeavesThePageNumberOffTheReportsStartedAfterwards) {
    auto pageNumbers = [&] {
        int count = 0;
        for (int32_t n = 1; n <= store().itemCount(); ++n)
            if (item(n).ItemText.trimmed().startsWith(QLatin1Char('-'))) ++count;
        return count;
    };
    auto twoPages = [&] {
        start();
        ASSERT_EQ(text(QStringLiteral("one"), A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printPage(), Status::Ok);
        ASSERT_EQ(text(QStringLiteral("two"), A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    };
    ASSERT_EQ(ctl().let_dontPrintNumberPage(true), Status::Ok);
    twoPages();
    EXPECT_EQ(pageNumbers(), 0);
    ASSERT_EQ(ctl().let_dontPrintNumberPage(false), Status::Ok);
    twoPages();
    EXPECT_EQ(pageNumbers(), 2);
}

TEST_F(Pages, ARuleAboveThePageNumberOnlyWhenTheCharacterIsNotBlank) {
    ASSERT_EQ(text(QStringLiteral("body")), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    EXPECT_EQ(store().itemCount(), 2); // the text and the page number

    QString rule = QStringLiteral("=");
    ASSERT_EQ(ctl().PrintingLineAbovePagenumber(rule), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    const PrintItem run = item(3);
    EXPECT_EQ(run.ItemKind, KindChars);
    EXPECT_EQ(run.CharsPlacement, K1_FromLeftmarginToRightmargin);
    EXPECT_EQ(run.FooterFlag, FooterItem);
    EXPECT_EQ(run.YRelative, 1);
    EXPECT_GT(run.ItemY, 50); // just above the page-number line
    EXPECT_EQ(run.ItemText.left(1), QStringLiteral("="));
    EXPECT_EQ(item(4).ItemText.trimmed(), QStringLiteral("-2-"));
}

TEST_F(Pages, WithPageNumbersOffAPageEndRecordsOnlyTheFooters) {
    Platform p = testPlatform();
    m_control.reset();
    m_platform = p;
    m_control = std::make_unique<Palvex>(m_platform);
    start();
    const_cast<ReportState&>(ctl().internals().report()).noPageNumbers =
        true; // as while a printout is saved
    ASSERT_EQ(text(QStringLiteral("body")), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    EXPECT_EQ(store().itemCount(), 1);
    EXPECT_TRUE(store().pageEndsAfter(1));
}

TEST_F(Pages, FootersShareThePageNumberLineAndTheLineBelow) {
    ASSERT_EQ(ctl().let_tfPrintFooter1(true), Status::Ok);
    auto setFooter = [&](int32_t slot, const char* text) {
        auto k = Footer1Number(slot);
        QString t = QString::fromLatin1(text), font = QStringLiteral("Times New Roman");
        float size = 12;
        bool bold = false, italic = false, underline = false;
        int32_t color = 0xFF0000;
        return ctl().Footer1Right(k, t, font, size, bold, italic, underline, color);
    };
    ASSERT_EQ(setFooter(N1_RightFooterOfPagenumberLine, "N1"), Status::Ok);
    ASSERT_EQ(setFooter(N3_RightFooterOfSecondLine, "N3"), Status::Ok);
    EXPECT_EQ(setFooter(-1, "bad"), Status::SubscriptOutOfRange);
    ASSERT_EQ(text(QStringLiteral("body")), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    // Without N2, N3 stays on the page-number line.
    PrintItem n1 = itemsWithText(QStringLiteral("N1")).at(0),
              n3 = itemsWithText(QStringLiteral("N3")).at(0);
    EXPECT_EQ(n1.HAlign, AlignRight);
    EXPECT_EQ(n1.YRelative, 1);
    EXPECT_FLOAT_EQ(n1.ItemY, 0);
    EXPECT_FLOAT_EQ(n3.ItemY, 0);
    EXPECT_EQ(n1.ForeColor, 0xFF0000);
    EXPECT_EQ(n1.FontName.trimmed(), QStringLiteral("Times New Roman"));

    ASSERT_EQ(setFooter(N2_LeftFooterOfPagenumberLine, "N2"), Status::Ok);
    ASSERT_EQ(setFooter(N4_LeftFooterOfSecondLine, "N4"), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("body")), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    const auto n2 = itemsWithText(QStringLiteral("N2")).at(0);
    const auto n3b = itemsWithText(QStringLiteral("N3")).at(1);
    const auto n4 = itemsWithText(QStringLiteral("N4")).at(0);
    EXPECT_EQ(n2.HAlign, AlignLeft);
    EXPECT_FLOAT_EQ(n2.ItemY, 0);
    EXPECT_LT(n3b.ItemY, 0); // one line below the page-number line
    EXPECT_FLOAT_EQ(n4.ItemY, n3b.ItemY);
    EXPECT_EQ(n4.HAlign, AlignLeft);
}

TEST_F(Pages, HeadersAreRecordedByAlignmentWithTheirLines) {
    ASSERT_EQ(ctl().let_Header(true), Status::Ok);
    const float line12 = [&] {
        EXPECT_EQ(ctl().let_FontSize(12), Status::Ok);
        return lineHeight();
    }();
    header(1, QStringLiteral("  Plain  "), A0_AlignNone, 1, 1);
    float x = 3000;
    int16_t one = 1;
    ASSERT_EQ(ctl().fxCurXHeader(one, x), Status::Ok);
    header(2, QStringLiteral("Right"), A1_AlignRight, 0, 1);
    header(3, QStringLiteral("Centre"), A2_AlignCenter, 0, 1);
    header(4, QStringLiteral("Left"), A3_AlignLeft, 0, 1);
    header(5, QStringLiteral("Unknown"), 5, 2, 1);
    const float top = y();
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    ASSERT_EQ(store().itemCount(), 4); // alignment 5 records nothing

    const float W = ctl().internals().recordingSurface().ScaleWidth();
    const Margins m = ctl().internals().report().margins;
    EXPECT_EQ(item(1).ItemText.trimmed(), QStringLiteral("Plain"));
    EXPECT_FLOAT_EQ(item(1).ItemX, 3000);
    EXPECT_NEAR(item(1).ItemY, top + line12, 0.01); // one line before
    EXPECT_FLOAT_EQ(item(2).ItemX, m.right);
    EXPECT_EQ(item(2).HAlign, AlignNone); // alignments 1 and 3 only move the cursor
    EXPECT_EQ(item(3).HAlign, AlignCenter);
    // A left header ends at the left margin.
    EXPECT_NEAR(item(4).ItemX + textWidth(QStringLiteral("Left")), W - m.left, 0.5);
    EXPECT_EQ(item(4).HAlign, AlignNone);
    // Five headers of one line after each, two lines before the fifth.
    EXPECT_NEAR(y(), top + 8 * line12, 0.5); // the cursor ends on whole twips
    float px = 0, py = 0;
    EXPECT_EQ(ctl().get_CurrentX(out(px)), Status::Ok);
    EXPECT_EQ(ctl().get_CurrentY(out(py)), Status::Ok);
    EXPECT_FLOAT_EQ(py, std::round(y()));
    EXPECT_FALSE(ctl().internals().report().props.gtAfterPage);

    // Without the Header property nothing is recorded.
    EXPECT_EQ(ctl().let_Header(false), Status::Ok);
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    EXPECT_EQ(store().itemCount(), 4);

    int16_t bad = 31;
    QString t = QStringLiteral("x");
    EXPECT_EQ(ctl().fxNameHeader(bad, t), Status::SubscriptOutOfRange);
    bad = 21;
    EXPECT_EQ(ctl().fxNameAnyHeader(bad, t), Status::SubscriptOutOfRange);
}

TEST_F(Pages, PositionedHeadersLeaveTheCursorWhereTheLineHeadersEnded) {
    EXPECT_EQ(ctl().let_Header(true), Status::Ok);
    int16_t n = 1, hx = 5000, hy = 200;
    QString t = QStringLiteral("Corner");
    ASSERT_EQ(ctl().fxNameAnyHeader(n, t), Status::Ok);
    ASSERT_EQ(ctl().fxCurXAnyHeader(n, hx), Status::Ok);
    ASSERT_EQ(ctl().fxCurYAnyHeader(n, hy), Status::Ok);
    const float before = y();
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    EXPECT_FLOAT_EQ(item(1).ItemX, 5000);
    EXPECT_FLOAT_EQ(item(1).ItemY, 200);
    EXPECT_FLOAT_EQ(y(), std::round(before));
}

TEST_F(Pages, HeadersSetBeforeTheStartAreLost) {
    int16_t n = 1;
    QString t = QStringLiteral("early");
    ASSERT_EQ(ctl().fxNameHeader(n, t), Status::Ok);
    start();
    EXPECT_EQ(ctl().let_Header(true), Status::Ok);
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    EXPECT_EQ(store().itemCount(), 0);
}

TEST_F(Pages, CheckMinBreaksNearTheBottom) {
    const ReportState& s = ctl().internals().report();
    EXPECT_EQ(ctl().let_CurrentY(s.lines.breakLimit() - 10), Status::Ok);
    ASSERT_EQ(ctl().checkMin2(), Status::Ok);
    EXPECT_EQ(s.pagesEnded, 0);
    ASSERT_EQ(text(QStringLiteral("x")), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentY(s.lines.breakLimit() + 10), Status::Ok);
    ASSERT_EQ(ctl().checkMin2(), Status::Ok);
    EXPECT_EQ(s.pagesEnded, 1);
    EXPECT_FLOAT_EQ(y(), s.margins.top);
    EXPECT_TRUE(s.props.gtAfterPage);

    // At or below the page-number line checkMin2 leaves the page alone; checkMin1 does not.
    EXPECT_EQ(ctl().let_CurrentY(s.lines.pageNumberLine() + 100), Status::Ok);
    ASSERT_EQ(ctl().checkMin2(), Status::Ok);
    EXPECT_EQ(s.pagesEnded, 1);
    ASSERT_EQ(ctl().checkMin1(), Status::Ok);
    EXPECT_EQ(s.pagesEnded, 2);

    // checkMin1 breaks the reduce amount earlier.
    float reduce = 500;
    EXPECT_EQ(ctl().fxreduceTwips(reduce), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentY(s.lines.breakLimit() - 400), Status::Ok);
    ASSERT_EQ(ctl().checkMin1(), Status::Ok);
    EXPECT_EQ(s.pagesEnded, 3);
}

TEST_F(Pages, PrintLastPageRightAfterPrintPageCountsNoEmptyPage) {
    ASSERT_EQ(text(QStringLiteral("one")), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("two")), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    const int32_t items = store().itemCount();
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_EQ(store().itemCount(), items); // no third page number
    EXPECT_EQ(ctl().internals().report().lastPageIndex, 1);
    EXPECT_EQ(ctl().findChild<QComboBox*>(QStringLiteral("cboPage"))->count(), 2);
    EXPECT_EQ(ctl().findChild<QComboBox*>(QStringLiteral("cboPage"))->itemText(1),
              QStringLiteral("Page Number 2"));
}

TEST_F(Pages, APageEndWithoutAnyItemIsRefused) {
    const_cast<ReportState&>(ctl().internals().report()).noPageNumbers = true;
    EXPECT_EQ(ctl().printPage(), Status::SubscriptOutOfRange);
}

TEST_F(Pages, ManyPagesKeepTheirIndexBeyondSixteenBits) {
    // 400 pages of 100 items: 40,000 items, more than a 16-bit item number holds.
    for (int page = 0; page < 400; ++page) {
        for (int line = 0; line < 99; ++line)
            ASSERT_EQ(text(QStringLiteral("x")), Status::Ok);
        ASSERT_EQ(ctl().printPage(), Status::Ok);
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_EQ(store().itemCount(), 40000);
    EXPECT_EQ(ctl().internals().report().lastPageIndex, 399);
    const PageRenderer& r = ctl().internals().renderer();
    EXPECT_EQ(r.rangeOfPage(399).first, 39901);
    EXPECT_EQ(r.rangeOfPage(399).last, 40000);
    EXPECT_EQ(item(40000).PageNumber, 400);
}

} // namespace
} // namespace palvex::test
