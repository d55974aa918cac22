// Layout that keeps to the page: paragraphs and tables between the report's margins, widths that
// would cross the left margin refused with the widths named, margins set from code that may be
// wide and stay with their control, a table's header row that begins a page with its first row,
// rows that move whole, and table calls out of order refused.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "core/NumberText.h"
#include "preview/PreviewStartup.h"
#include "recording/PageLines.h"

#include <QComboBox>

namespace palvex::test {
namespace {

class LayoutBounds : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        startInUtf8();
    }
    Status paragraph(const QString& text, float width) {
        const int16_t alignment = 4;
        const float spacing = 1;
        return ctl().printParagraph(text, width, &alignment, &spacing);
    }
    Status columns(std::initializer_list<float> widths, bool headers = true) {
        if (Status s = ctl().TableClear(); s != Status::Ok) return s;
        int i = 0;
        for (float w : widths)
            if (Status s = ctl().TableAddColumn(w, 1, headers ? u("כותרת %1").arg(++i) : QString());
                s != Status::Ok)
                return s;
        return Status::Ok;
    }
    const ReportState& report() { return ctl().internals().report(); }
    float scaleWidth() { return ctl().internals().recordingSurface().ScaleWidth(); }
    // Every recorded text of the body (no footers), with its left end.
    struct Placed {
        PrintItem item;
        float left;
    };
    std::vector<Placed> texts() {
        std::vector<Placed> out;
        for (int32_t n = 1; n <= store().itemCount(); ++n) {
            const PrintItem i = item(n);
            if (i.ItemKind != KindText || i.FooterFlag != 0) continue;
            EXPECT_EQ(ctl().let_FontBold(i.FontBold != 0), Status::Ok);
            out.push_back({i, i.ItemX + textWidth(i.ItemText.trimmed())});
        }
        EXPECT_EQ(ctl().let_FontBold(false), Status::Ok);
        return out;
    }
    QString words(int count) {
        QString text;
        for (int i = 0; i < count; ++i)
            text += u("מילה%1 word ").arg(i);
        return text;
    }
};

TEST_F(LayoutBounds, ParagraphsAndTablesLieBetweenTheMargins) {
    ASSERT_EQ(ctl().SetMargins(1000, 700, 1000, 700), Status::Ok);
    const Margins m = report().margins;
    const float room = scaleWidth() - m.left - m.right;
    // At CurrentX 0 the box's right edge is the right margin; a width that fills the room fits.
    ASSERT_EQ(ctl().let_CurrentX(0), Status::Ok);
    ASSERT_EQ(paragraph(words(60), room), Status::Ok);
    float x = 0;
    ASSERT_EQ(ctl().get_CurrentX(out(x)), Status::Ok);
    EXPECT_FLOAT_EQ(x, m.right);
    ASSERT_EQ(columns({2000, 3000, room - 5000}), Status::Ok)
        << qPrintable(ctl().lastErrorDetail());
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(words(3) + u("\t") + words(6) + u("\t") + words(9)), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    // A CurrentX further in than the margin moves the box in.
    ASSERT_EQ(ctl().let_CurrentX(2000), Status::Ok);
    ASSERT_EQ(paragraph(words(20), room - (2000 - m.right)), Status::Ok);
    const std::vector<Placed> placed = texts();
    ASSERT_GT(placed.size(), 10u);
    for (const Placed& p : placed) {
        EXPECT_GE(p.item.ItemX, m.right - 0.5f) << qPrintable(p.item.ItemText);
        EXPECT_LE(p.left, scaleWidth() - m.left + 0.5f) << qPrintable(p.item.ItemText);
    }
    EXPECT_FLOAT_EQ(placed.back().item.ItemX, 2000);
}

TEST_F(LayoutBounds, AWidthThatCrossesTheLeftMarginIsRefusedWithTheWidthsNamed) {
    // Six 3000-twip columns on an 11,185-twip area: refused at TableBegin, nothing recorded.
    ASSERT_EQ(columns({3000, 3000, 3000, 3000, 3000, 3000}), Status::Ok);
    ASSERT_EQ(ctl().let_CurrentX(0), Status::Ok);
    EXPECT_EQ(ctl().TableBegin(), Status::InvalidPropertyValue);
    EXPECT_TRUE(ctl().lastErrorDetail().startsWith(QStringLiteral("TableBegin: the 6 columns add "
                                                                  "up to 18000 twips, but ")))
        << qPrintable(ctl().lastErrorDetail());
    const float room = scaleWidth() - report().margins.left - report().margins.right;
    EXPECT_TRUE(ctl().lastErrorDetail().contains(formatSingle(room)))
        << qPrintable(ctl().lastErrorDetail());
    EXPECT_EQ(store().itemCount(), 0);
    // No table was begun: its rows are refused too.
    EXPECT_EQ(ctl().TableRow(QStringLiteral("1")), Status::InvalidProcedureCall);

    // A paragraph one twip wider than the room, as the invoice once had it, and one moved in.
    ASSERT_EQ(ctl().SetMargins(1000, 700, 1000, 700), Status::Ok);
    const float between = scaleWidth() - report().margins.left - report().margins.right;
    EXPECT_EQ(paragraph(words(5), between + 1), Status::InvalidPropertyValue);
    EXPECT_TRUE(ctl().lastErrorDetail().startsWith(
        QStringLiteral("printParagraph: the width %1 twips does not fit: %2 twips lie")
            .arg(formatSingle(between + 1), formatSingle(between))))
        << qPrintable(ctl().lastErrorDetail());
    ASSERT_EQ(ctl().let_CurrentX(3000), Status::Ok);
    EXPECT_EQ(paragraph(words(5), between), Status::InvalidPropertyValue);
    EXPECT_EQ(paragraph(words(5), between - (3000 - report().margins.right)), Status::Ok);
    // A width of nothing, and an alignment that is none.
    EXPECT_EQ(ctl().TableAddColumn(0, 1, QString()), Status::InvalidPropertyValue);
    EXPECT_EQ(
        ctl().lastErrorDetail(),
        QStringLiteral("TableAddColumn: Width 0 twips is not a width; it must be more than 0"));
    EXPECT_EQ(ctl().TableAddColumn(1000, 7, QString()), Status::InvalidPropertyValue);
    EXPECT_TRUE(ctl().lastErrorDetail().startsWith(QStringLiteral("TableAddColumn: alignment 7")));
}

TEST_F(LayoutBounds, MarginsFromCodeMayBeWideAndLeaveTwoCentimetresEachWay) {
    // A letterhead's 5 cm top margin: beyond the panel's lists, accepted.
    ASSERT_EQ(ctl().SetMargins(850, 2835, 850, 1984), Status::Ok);
    EXPECT_FLOAT_EQ(report().margins.top, marginTwips(500));
    float y = 0;
    ASSERT_EQ(ctl().get_CurrentY(out(y)), Status::Ok);
    EXPECT_FLOAT_EQ(y, marginTwips(500));
    ASSERT_EQ(text(QStringLiteral("x"), A2_JumpToNextLine), Status::Ok);
    EXPECT_FLOAT_EQ(item(1).ItemY, marginTwips(500));
    // Less than 2 cm across, or between the top margin and the break limit: refused, named.
    const float width = scaleWidth();
    EXPECT_EQ(ctl().SetMargins(width / 2, 0, width / 2 - 1000, 0), Status::InvalidPropertyValue)
        << width << " " << qPrintable(ctl().lastErrorDetail());
    EXPECT_TRUE(ctl().lastErrorDetail().contains(QStringLiteral("at least 1134 (2 cm) must "
                                                                "remain")))
        << qPrintable(ctl().lastErrorDetail());
    EXPECT_EQ(ctl().SetMargins(850, 12000, 850, 1984), Status::InvalidPropertyValue);
    EXPECT_TRUE(ctl().lastErrorDetail().startsWith(QStringLiteral("SetMargins: top ")))
        << qPrintable(ctl().lastErrorDetail());
    EXPECT_EQ(ctl().SetMargins(850, 850, -1, 850), Status::InvalidPropertyValue);
    EXPECT_EQ(ctl().lastErrorDetail(),
              QStringLiteral("SetMargins: the right margin -1 twips is not a margin; a margin is "
                             "0 or more"));
    // The refusals changed nothing.
    EXPECT_FLOAT_EQ(report().margins.top, marginTwips(500));

    // The panel shows no entry for a margin wider than its list, and its OK keeps that margin.
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_EQ(child<QComboBox>("cboTopMargin")->currentIndex(), -1);
    EXPECT_EQ(child<QComboBox>("cboTopMargin")->placeholderText(), QStringLiteral("5.00"));
    child<QComboBox>("cboLeftMargin")->setCurrentIndex(200);
    child<QPushButton>("cmdOKMarginsSetup")->click();
    EXPECT_FLOAT_EQ(report().margins.top, marginTwips(500));
    EXPECT_FLOAT_EQ(report().margins.left, marginTwips(200));
}

// Margins set from code are the control's: its later reports keep them; another control, or
// another process, in the same folder still gets the folder's margins.
TEST_F(LayoutBounds, MarginsFromCodeStayWithTheirControlAndLeaveTheFolderAlone) {
    const Margins folder = report().margins;
    const QByteArray definitionsBefore = [&] {
        QFile f(path("palvex.dfn"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }();
    ASSERT_EQ(ctl().SetMargins(1134, 1701, 1134, 2268), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    start(); // the next report of the same control
    EXPECT_FLOAT_EQ(report().margins.left, 1134);
    EXPECT_FLOAT_EQ(report().margins.top, 1701);

    Palvex other(testPlatform());
    ASSERT_EQ(other.StartPalvexPrintPreview(), Status::Ok);
    EXPECT_FLOAT_EQ(other.internals().report().margins.left, folder.left);
    EXPECT_FLOAT_EQ(other.internals().report().margins.top, folder.top);
    QFile f(path("palvex.dfn"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), definitionsBefore);
}

TEST_F(LayoutBounds, AHeaderRowBeginsAPageWithItsFirstRow) {
    const float lh = [&] {
        float h = 0;
        EXPECT_EQ(ctl().TextHeight(QStringLiteral("x"), out(h)), Status::Ok);
        return h;
    }();
    const float limit = report().lines.breakLimit();
    ASSERT_EQ(text(QStringLiteral("above"), A2_JumpToNextLine), Status::Ok);
    // Room for the header row, not for the header row and a two-line row.
    ASSERT_EQ(ctl().let_CurrentY(limit - 1.5f * lh), Status::Ok);
    ASSERT_EQ(columns({1500, 2000}), Status::Ok);
    ASSERT_EQ(ctl().let_CurrentX(0), Status::Ok);
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(u("1\tשורה ראשונה ארוכה מספיק כדי להישבר לשתי שורות בעמודה")),
              Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    ASSERT_EQ(report().pageCount(), 2);
    for (const Placed& p : texts()) {
        if (p.item.ItemText.startsWith(QStringLiteral("above"))) continue;
        EXPECT_EQ(p.item.PageNumber, 2) << qPrintable(p.item.ItemText);
        EXPECT_LE(p.item.ItemY + lh, limit + 0.5f);
    }
}

// A row that does not fit above the break limit moves whole to the next page, wherever the table
// begins: after other text, as the first thing of the report, with or without a header row.
TEST_F(LayoutBounds, ARowThatDoesNotFitMovesWholeToTheNextPage) {
    for (const bool headers : {true, false}) {
        for (const bool first : {true, false}) {
            start();
            ASSERT_EQ(ctl().let_FontSize(10), Status::Ok);
            if (!first) {
                ASSERT_EQ(text(QStringLiteral("above"), A2_JumpToNextLine), Status::Ok);
            }
            ASSERT_EQ(ctl().let_CurrentY(11800), Status::Ok);
            ASSERT_EQ(columns({800, 1600}, headers), Status::Ok);
            ASSERT_EQ(ctl().TableBegin(), Status::Ok);
            // Five lines in a narrow column.
            ASSERT_EQ(ctl().TableRow(u("1\tאחת שתיים שלוש ארבע חמש שש שבע שמונה תשע עשר")),
                      Status::Ok);
            ASSERT_EQ(ctl().TableEnd(), Status::Ok);
            ASSERT_EQ(ctl().printLastPage(), Status::Ok);
            const float limit = report().lines.breakLimit();
            // Everything of the table is on the second page, the header row too.
            for (const Placed& p : texts()) {
                if (p.item.ItemText.startsWith(QStringLiteral("above"))) continue;
                EXPECT_EQ(p.item.PageNumber, 2) << headers << first << qPrintable(p.item.ItemText);
                EXPECT_LE(p.item.ItemY, limit) << headers << first << qPrintable(p.item.ItemText);
            }
        }
    }
}

TEST_F(LayoutBounds, TableCallsOutOfOrderAreRefused) {
    EXPECT_EQ(ctl().TableEnd(), Status::InvalidProcedureCall);
    EXPECT_EQ(ctl().lastErrorDetail(),
              QStringLiteral("TableEnd: no table is begun; call TableBegin first"));
    EXPECT_EQ(ctl().TableRow(QStringLiteral("1")), Status::InvalidProcedureCall);
    EXPECT_EQ(ctl().TableBegin(), Status::InvalidProcedureCall); // no columns
    EXPECT_TRUE(ctl().lastErrorDetail().contains(QStringLiteral("no columns")));
    ASSERT_EQ(columns({1000, 1000, 1000}), Status::Ok);
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    // A forgotten TableEnd shows at the next table.
    EXPECT_EQ(ctl().TableBegin(), Status::InvalidProcedureCall);
    EXPECT_EQ(ctl().lastErrorDetail(),
              QStringLiteral("TableBegin: a table is already begun; end it with TableEnd first"));
    EXPECT_EQ(ctl().TableAddColumn(1000, 1, QString()), Status::InvalidProcedureCall);
    EXPECT_EQ(ctl().TableRow(QStringLiteral("1\t2\t3\t4")), Status::InvalidPropertyValue);
    EXPECT_EQ(ctl().lastErrorDetail(),
              QStringLiteral("TableRow: the row has 4 cells, the table 3 columns"));
    EXPECT_EQ(ctl().TableRows(QStringLiteral("1") + QChar(0x1E) + QStringLiteral("1\t2\t3\t4")),
              Status::InvalidPropertyValue);
    EXPECT_EQ(ctl().lastErrorDetail(),
              QStringLiteral("TableRows: row 2 has 4 cells, the table 3 columns"));
    // A table without rows still shows its header row when it ends.
    const int32_t before = store().itemCount();
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    EXPECT_EQ(store().itemCount(), before + 3);
    EXPECT_EQ(ctl().TableEnd(), Status::InvalidProcedureCall);
}

} // namespace
} // namespace palvex::test
