// The C++ writer: its calls record what the members they stand for record, the first failure is
// kept with the call's name, and nothing after it reaches the control.

#include "ControlFixture.h"

#include <palvex/ReportWriter.h>

namespace palvex::test {
namespace {

class Writer : public ControlFixture {
protected:
    // The recorded texts, trimmed, in their order.
    QStringList recordedTexts() {
        QStringList out;
        for (int32_t n = 1; n <= store().itemCount(); ++n) {
            const PrintItem i = item(n);
            if (i.ItemKind == KindText && i.FooterFlag == 0) out << i.ItemText.trimmed();
        }
        return out;
    }
};

TEST_F(Writer, ATableRecordsItsHeaderAndRowsAndCellsCannotSplit) {
    ReportWriter w(ctl());
    w.start()
        .margins(1000, 700, 1000, 700)
        .font(QStringLiteral("Liberation Sans"), 10)
        .at(0)
        .table({{1500, ReportWriter::Align::Right, u("חשבון")},
                {3000, ReportWriter::Align::Right, u("שם")},
                {1500, ReportWriter::Align::Left, u("סכום")}},
               ReportWriter::Rules::Grid)
        .row({QStringLiteral("100001"), u("קופה\tראשית"), QStringLiteral("1,234.50")})
        .row({QStringLiteral("100002")}) // missing cells are empty
        .endTable()
        .paragraph(u("פסקה קצרה"), 4000)
        .finish();
    ASSERT_TRUE(w.ok()) << qPrintable(w.errorString());
    EXPECT_EQ(w.errorString(), QString());
    EXPECT_EQ(recordedTexts(),
              (QStringList{u("חשבון"), u("שם"), u("סכום"), u("100001"), u("קופה ראשית"),
                           u("1,234.50"), u("100002"), u("פסקה קצרה")}));
    // The grid's rules were asked for, and the margins are the control's.
    int16_t lines = 0;
    ASSERT_EQ(ctl().get_TableLines(out(lines)), Status::Ok);
    EXPECT_EQ(lines, 3);
    EXPECT_NEAR(ctl().internals().report().margins.left, 1000, 6); // to a hundredth of a cm
}

TEST_F(Writer, TheFirstFailureIsKeptNamedAndEverythingAfterItIsSkipped) {
    ReportWriter w(ctl());
    w.start().text(QStringLiteral("before"));
    const int32_t before = store().itemCount();
    // A row outside any table is refused; the text after it is not recorded.
    w.row({QStringLiteral("x")}).text(QStringLiteral("after")).paragraph(QStringLiteral("y"), -1);
    EXPECT_FALSE(w.ok());
    EXPECT_EQ(w.status(), Status::InvalidProcedureCall);
    EXPECT_EQ(w.errorString(),
              QStringLiteral("TableRow: error 5: no table is begun; call TableBegin first"));
    EXPECT_EQ(store().itemCount(), before);
    // call() takes any member into the chain, and is skipped the same way.
    bool called = false;
    w.call(
        [&](Palvex&) {
            called = true;
            return Status::Ok;
        },
        "Anything");
    EXPECT_FALSE(called);

    // A row wider than the table: 380, and nothing of it recorded.
    ReportWriter second(ctl());
    second.at(0)
        .table({{1000, ReportWriter::Align::Right, u("א")}})
        .row({QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_EQ(second.status(), Status::InvalidPropertyValue);
    EXPECT_EQ(second.errorString(),
              QStringLiteral("TableRow: error 380: the row has 2 cells, the table 1 column"));
    // The control's own words are the failed call's only while no later call failed.
    EXPECT_EQ(ctl().let_TableLines(9), Status::InvalidPropertyValue);
    EXPECT_EQ(second.errorString(), QStringLiteral("TableRow: error 380: Invalid property value"));
}

} // namespace
} // namespace palvex::test
