// The report's tables rebuilt from what was recorded: each row once, in order, its wrapped cells
// whole, the header row once though it repeats on every page, and tables told apart from the
// text around them.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "recording/TableExtract.h"

namespace palvex::test {
namespace {

class TableExtractFromReport : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        startInUtf8();
    }
    std::vector<ExtractedTable> tables() {
        EXPECT_EQ(ctl().printLastPage(), Status::Ok);
        return TableExtract::fromStore(store());
    }
    static std::vector<QString> row(std::initializer_list<const char*> cells) {
        std::vector<QString> r;
        for (const char* c : cells)
            r.push_back(u(c));
        return r;
    }
};

TEST_F(TableExtractFromReport, ATableSpanningPagesGivesEveryRowOnceAndItsHeaderOnce) {
    ASSERT_EQ(ctl().let_Header(true), Status::Ok);
    int16_t one = 1;
    QString title = u("מאזן בוחן {page}");
    ASSERT_EQ(ctl().fxNameHeader(one, title), Status::Ok);
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    ASSERT_EQ(ctl().let_TableLines(3), Status::Ok);
    tableColumns({{1500, "חשבון"}, {3000, "שם"}, {2000, "יתרה"}});
    bool repeat = true;
    ASSERT_EQ(ctl().TableBegin(&repeat), Status::Ok);
    constexpr int Rows = 300;
    for (int r = 0; r < Rows; ++r)
        ASSERT_EQ(ctl().TableRow(QStringLiteral("%1\t").arg(100000 + r) + u("לקוח ") +
                                 QString::number(r) + QStringLiteral("\t%1.50-").arg(r)),
                  Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    const std::vector<ExtractedTable> found = tables();
    ASSERT_GE(ctl().internals().report().pageCount(), 3) << "the table must span pages";
    ASSERT_EQ(found.size(), 1u);
    const ExtractedTable& t = found[0];
    EXPECT_EQ(t.header, row({"חשבון", "שם", "יתרה"}));
    EXPECT_EQ(t.columns, 3);
    ASSERT_EQ(t.rows.size(), size_t(Rows));
    for (int r = 0; r < Rows; ++r) {
        ASSERT_EQ(t.rows[size_t(r)].size(), 3u) << r;
        EXPECT_EQ(t.rows[size_t(r)][0], QString::number(100000 + r)) << r;
        EXPECT_EQ(t.rows[size_t(r)][1], u("לקוח ") + QString::number(r)) << r;
        EXPECT_EQ(t.rows[size_t(r)][2], QStringLiteral("%1.50-").arg(r)) << r;
    }
}

TEST_F(TableExtractFromReport, WrappedCellsComeBackWholeAndEmptyCellsStayInTheirColumn) {
    tableColumns({{1500, ""}, {1500, ""}, {1500, ""}});
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    const QString longText = u("תיאור ארוך של תנועה שאינו נכנס בשורה אחת של העמודה");
    ASSERT_EQ(ctl().TableRow(QStringLiteral("1\t") + longText + QStringLiteral("\t2.00")),
              Status::Ok);
    ASSERT_EQ(ctl().TableRow(QStringLiteral("\t\t3.00")), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    const std::vector<ExtractedTable> found = tables();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].header.empty()) << "no column has a header";
    ASSERT_EQ(found[0].rows.size(), 2u);
    EXPECT_EQ(found[0].rows[0],
              (std::vector<QString>{QStringLiteral("1"), longText, QStringLiteral("2.00")}));
    EXPECT_EQ(found[0].rows[1],
              (std::vector<QString>{QString(), QString(), QStringLiteral("3.00")}));
}

TEST_F(TableExtractFromReport, TablesAreToldApartFromOneAnotherAndFromTheTextBetweenThem) {
    ASSERT_EQ(text(u("דוח ראשון"), A2_JumpToNextLine), Status::Ok);
    tableColumns({{2000, "א"}, {2000, "ב"}});
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(QStringLiteral("1\t2")), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    ASSERT_EQ(text(u("בין הטבלאות"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(QStringLiteral("3\t4")), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    // Two tables back to back, the second of the same columns.
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(QStringLiteral("5\t6")), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    const std::vector<ExtractedTable> found = tables();
    ASSERT_EQ(found.size(), 3u);
    for (const ExtractedTable& t : found)
        EXPECT_EQ(t.header, row({"א", "ב"}));
    EXPECT_EQ(found[0].rows, (std::vector<std::vector<QString>>{row({"1", "2"})}));
    EXPECT_EQ(found[1].rows, (std::vector<std::vector<QString>>{row({"3", "4"})}));
    EXPECT_EQ(found[2].rows, (std::vector<std::vector<QString>>{row({"5", "6"})}));
}

TEST_F(TableExtractFromReport, AReportWithoutTablesHasNone) {
    ASSERT_EQ(text(u("שורה 1,234.50"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printParagraph(u("פסקה של טקסט"), 4000), Status::Ok);
    EXPECT_TRUE(tables().empty());
}

} // namespace
} // namespace palvex::test
