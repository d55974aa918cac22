// Recording text: start-up geometry, alignment rules, cursor advance, kinds and failures.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "core/CodePage.h"
#include "preview/PreviewStartup.h"
#include "recording/ItemWriter.h"

#include <QFile>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

namespace palvex::test {
namespace {

const QString kHebrew = QString::fromUtf8("מאזן בוחן");

class Recording : public ControlFixture {};

TEST_F(Recording, StartEmptiesTheStoreAndSizesThePageFromThePdfPrinter) {
    start();
    EXPECT_EQ(store().itemCount(), 0);
    EXPECT_EQ(QFile(path("palvex.rpt")).size(), 0);
    EXPECT_EQ(QFile(path("palvex.dfn")).size(), 1024);

    const PrinterDevice pdf = Printers::pdfDevice();
    const Surface& pic = ctl().internals().recordingSurface();
    EXPECT_FLOAT_EQ(pic.Width(), pdf.width);
    EXPECT_FLOAT_EQ(pic.Height(), pdf.height + 425);
    EXPECT_FLOAT_EQ(pic.ScaleWidth(), pdf.width - 720);
    EXPECT_FLOAT_EQ(pic.ScaleHeight(), pdf.height - 720);
    const float bottom = 350 * 0.01 * 567;
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.pageNumberLine(), pdf.height - bottom - 425);
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.breakLimit(),
                    ctl().internals().report().lines.pageNumberLine() - 1800);
    EXPECT_FLOAT_EQ(ctl().internals().report().props.gtPrWidth, pdf.width);
    // Recording starts at the top margin.
    EXPECT_FLOAT_EQ(pic.CurrentY(), 150 * 0.01 * 567);
}

TEST_F(Recording, WithoutPrinterOrWithAFaxThePageIsTheFixedOne) {
    for (const QList<PrinterDevice>& printers :
         {QList<PrinterDevice>{},
          QList<PrinterDevice>{{QStringLiteral("Fax"), false, 20000, 30000, 19000, 29000, 1}}}) {
        m_control.reset();
        m_platform = testPlatform(printers);
        m_control = std::make_unique<Palvex>(m_platform);
        start();
        const Surface& pic = ctl().internals().recordingSurface();
        EXPECT_FLOAT_EQ(pic.Width(), 11952);
        EXPECT_FLOAT_EQ(pic.Height(), 16848);
        EXPECT_FLOAT_EQ(pic.ScaleWidth(), 11150);
        EXPECT_FLOAT_EQ(pic.ScaleHeight(), 16171);
        EXPECT_FLOAT_EQ(ctl().internals().report().lines.pageNumberLine(), 14155);
    }
}

TEST_F(Recording, AlignmentRulesUseTheMarginsAndTheTrimmedWidth) {
    start();
    const float W = ctl().internals().recordingSurface().ScaleWidth();
    const float L = ctl().internals().report().margins.left,
                R = ctl().internals().report().margins.right;

    EXPECT_EQ(ctl().let_CurrentX(5000), Status::Ok);
    ASSERT_EQ(right(kHebrew), Status::Ok);
    EXPECT_FLOAT_EQ(item(1).ItemX, R);
    EXPECT_EQ(item(1).HAlign, 1);
    EXPECT_EQ(item(1).NoCentering, 1); // aligned text keeps its place when pages are centred

    EXPECT_EQ(ctl().let_CurrentX(5000), Status::Ok);
    ASSERT_EQ(left(QStringLiteral("Total  ")), Status::Ok);
    EXPECT_NEAR(item(2).ItemX, W - L - textWidth(QStringLiteral("Total")), 0.01);
    EXPECT_EQ(item(2).NoCentering, 1);

    ASSERT_EQ(center(QStringLiteral("Title")), Status::Ok);
    ASSERT_EQ(center(QStringLiteral("   Title   ")), Status::Ok);
    EXPECT_NEAR(item(3).ItemX, (W - L - R - textWidth(QStringLiteral("Title"))) / 2 + R, 0.01);
    EXPECT_FLOAT_EQ(item(4).ItemX, item(3).ItemX);
    EXPECT_TRUE(item(4).ItemText.startsWith(QStringLiteral("   Title   ")));
    EXPECT_EQ(item(4).NoCentering, 0); // centred text moves with the page
}

TEST_F(Recording, ConsecutiveTextsFollowEachOtherLeftwards) {
    start();
    EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    ASSERT_EQ(text(kHebrew), Status::Ok);
    ASSERT_EQ(text(QStringLiteral(" English ")), Status::Ok);
    EXPECT_FLOAT_EQ(item(1).ItemX, 1000);
    EXPECT_NEAR(item(2).ItemX, 1000 + textWidth(kHebrew), 0.01);
    EXPECT_FLOAT_EQ(item(1).ItemY, item(2).ItemY);

    float start = 0, end = 0, x = 0;
    EXPECT_EQ(ctl().gtStartCurX(out(start)), Status::Ok);
    EXPECT_EQ(ctl().gtEndCurX(out(end)), Status::Ok);
    EXPECT_EQ(ctl().get_CurrentX(out(x)), Status::Ok);
    EXPECT_FLOAT_EQ(start, item(2).ItemX);
    EXPECT_NEAR(end, start + textWidth(QStringLiteral(" English ")), 0.01);
    EXPECT_FLOAT_EQ(x, end); // a text that stays on its line leaves CurrentX after itself

    // A line end moves the next text one line down, back to the right edge.
    ASSERT_EQ(text(QStringLiteral("end"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("next")), Status::Ok);
    EXPECT_FLOAT_EQ(item(4).ItemX, 0);
    EXPECT_NEAR(item(4).ItemY, item(3).ItemY + lineHeight(), 0.01);
    float y = 0;
    EXPECT_EQ(ctl().get_CurrentY(out(y)), Status::Ok);
    EXPECT_FLOAT_EQ(y, item(4).ItemY);
}

TEST_F(Recording, ALongTextIsStoredWholeInContinuationRecordsAndTheCursorMovesByAllOfIt) {
    start();
    const QString longText = QString(200, QLatin1Char('x'));
    ASSERT_EQ(text(longText), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("y")), Status::Ok);
    EXPECT_EQ(store().itemCount(), 2);
    EXPECT_EQ(store().recordsInFile(), 3); // the text's first 180 bytes, the rest, then "y"
    EXPECT_EQ(trimTrailingBlanks(item(1).ItemText), longText);
    EXPECT_EQ(item(2).ItemText.trimmed(), QStringLiteral("y"));
    EXPECT_NEAR(item(2).ItemX, textWidth(longText), 0.05);
    // A name that fits keeps its padded field.
    EXPECT_EQ(item(1).FontName, QStringLiteral("Ms Sans Serif").leftJustified(25));
}

TEST_F(Recording, EntrDecidesTheKindAndATextNeverBecomesAnotherKind) {
    start();
    const float y0 = ctl().internals().recordingSurface().CurrentY();
    ASSERT_EQ(text(QStringLiteral("nothing"), 0), Status::Ok); // a line end only
    EXPECT_EQ(store().itemCount(), 0);
    EXPECT_NEAR(ctl().internals().recordingSurface().CurrentY(), y0 + lineHeight(), 0.01);

    for (int32_t entr : {1, 3, 4, 5, 11, 13, 15, -7}) {
        ASSERT_EQ(text(QStringLiteral("t"), entr), Status::Ok) << entr;
        EXPECT_EQ(item(store().itemCount()).ItemKind, KindText) << entr;
    }
    ASSERT_EQ(text(QStringLiteral("t"), 2), Status::Ok);
    EXPECT_EQ(item(store().itemCount()).ItemKind, KindTextNewLine);

    const int32_t before = store().itemCount();
    EXPECT_EQ(text(QStringLiteral("t"), 70000), Status::Overflow);
    EXPECT_EQ(store().itemCount(), before);
}

TEST_F(Recording, JumpToNextLineRecordsNothingButMovesDown) {
    start();
    const float y0 = ctl().internals().recordingSurface().CurrentY();
    ASSERT_EQ(ctl().JumpToNextLine(), Status::Ok);
    EXPECT_EQ(store().itemCount(), 0);
    float y = 0;
    EXPECT_EQ(ctl().get_CurrentY(out(y)), Status::Ok);
    EXPECT_NEAR(y, y0 + lineHeight(), 0.01);
}

TEST_F(Recording, SpecialCenterPacksTextAndCoordinates) {
    start();
    QString t = QStringLiteral("  Total  ");
    float x1 = 1000, x2 = 5000.5f, y1 = 4000, y2 = 4500;
    AfterPrintType e = A2_JumpToNextLine;
    ASSERT_EQ(ctl().SpecialCenter(x1, x2, t, e, y1, &y2), Status::Ok);
    const PrintItem it = item(1);
    EXPECT_EQ(it.ItemKind, KindSpecialCenterNewLine);
    EXPECT_FLOAT_EQ(it.ItemY, 4000);
    EXPECT_EQ(it.ItemText.mid(0, 100), QStringLiteral("Total").rightJustified(100));
    EXPECT_EQ(it.ItemText.mid(100, 10), QStringLiteral("      1000"));
    EXPECT_EQ(it.ItemText.mid(110, 10), QStringLiteral("    5000.5"));
    EXPECT_EQ(it.ItemText.mid(120, 10), QStringLiteral("      4000"));
    EXPECT_EQ(it.ItemText.mid(130, 10), QStringLiteral("      4500"));
    EXPECT_EQ(it.ItemText.mid(140), QString(40, QLatin1Char(' ')));

    // More than 100 characters keep their first 100; a blank text records nothing.
    QString longText = QString(120, QLatin1Char('a'));
    e = A1_StayWhereYouAre;
    ASSERT_EQ(ctl().SpecialCenter(x1, x2, longText, e, y1, nullptr), Status::Ok);
    EXPECT_EQ(item(2).ItemText.left(100), QString(100, QLatin1Char('a')));
    EXPECT_EQ(item(2).ItemText.mid(130, 10), QStringLiteral("         0")); // omitted end y

    const float x = ctl().internals().recordingSurface().CurrentX(),
                y = ctl().internals().recordingSurface().CurrentY();
    QString blank = QStringLiteral("   ");
    float y9 = 9999;
    ASSERT_EQ(ctl().SpecialCenter(x1, x2, blank, e, y9, nullptr), Status::Ok);
    EXPECT_EQ(store().itemCount(), 2);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentX(), x);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentY(), y);
}

TEST_F(Recording, NonFiniteSingleArgumentsAreRefusedAndRecordNothing) {
    start();
    QString t = QStringLiteral("x");
    float nan = std::nanf(""), inf = INFINITY, ok = 100;
    AfterPrintType e = A1_StayWhereYouAre;
    EXPECT_EQ(ctl().SpecialCenter(nan, ok, t, e, ok, nullptr), Status::InvalidProcedureCall);
    EXPECT_EQ(ctl().SpecialCenter(ok, ok, t, e, ok, &inf), Status::InvalidProcedureCall);
    EXPECT_EQ(store().itemCount(), 0);
    EXPECT_EQ(ctl().let_CurrentX(nan), Status::InvalidPropertyValue);
    EXPECT_EQ(ctl().fxreduceTwips(nan), Status::InvalidProcedureCall);
}

TEST_F(Recording, PendingMarksApplyToOneItemOnly) {
    start();
    auto relative = P1_Proporional_To_currentYofPageNumber;
    ASSERT_EQ(ctl().fxProporional_CurrentY(relative), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentY(3000), Status::Ok);
    EXPECT_EQ(ctl().let_DontConsiderForCenter(true), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("a")), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("b")), Status::Ok);
    EXPECT_EQ(item(1).YRelative, 1);
    EXPECT_FLOAT_EQ(item(1).ItemY, ctl().internals().report().lines.pageNumberLine() - 3000);
    EXPECT_EQ(item(1).NoCentering, 1);
    EXPECT_EQ(item(2).YRelative, 0);
    EXPECT_FLOAT_EQ(item(2).ItemY, 3000);
    EXPECT_EQ(item(2).NoCentering, 0);
    EXPECT_EQ(item(1).PageNumber, 1);

    auto huge = Proporional_CurrentY(100000);
    EXPECT_EQ(ctl().fxProporional_CurrentY(huge), Status::Overflow);
}

TEST_F(Recording, TheItemTakesTheSurfaceFontNotTheStoredOnlyProperties) {
    start();
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Times New Roman")), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(11.5f), Status::Ok);
    EXPECT_EQ(ctl().let_FontBold(true), Status::Ok);
    EXPECT_EQ(ctl().let_FontItalic(true), Status::Ok);
    EXPECT_EQ(ctl().let_FontUnderline(true), Status::Ok);
    EXPECT_EQ(ctl().let_ForeColor(0x0000FF), Status::Ok);
    EXPECT_EQ(ctl().let_FontStrikethru(true), Status::Ok); // stored only: never reaches the surface
    ASSERT_EQ(text(kHebrew), Status::Ok);
    const PrintItem it = item(1);
    EXPECT_EQ(it.FontName.trimmed(), QStringLiteral("Times New Roman"));
    EXPECT_FLOAT_EQ(it.FontSize, 11.5f);
    EXPECT_EQ(it.FontBold, -1);
    EXPECT_EQ(it.FontItalic, -1);
    EXPECT_EQ(it.FontUnderline, -1);
    EXPECT_EQ(it.FontStrikethru, 0);
    EXPECT_EQ(it.ForeColor, 0x0000FF);
    EXPECT_EQ(it.ItemText.trimmed(), kHebrew);
}

TEST_F(Recording, NothingIsRecordedBeforeThePreviewStarts) {
    EXPECT_EQ(text(QStringLiteral("early")), Status::BadFileName);
}

TEST_F(Recording, AFailedWriteLeavesCountFileAndCursorAsTheyWere) {
    start();
    // The file may grow a little beyond the space reserved for the first records, no more.
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 256 * 1024 + 10 * PrintItem::Size + 100;
    setrlimit(RLIMIT_FSIZE, &small);

    Status status = Status::Ok;
    int32_t count = 0;
    float x = 0, y = 0;
    for (int i = 0; i < 5000 && status == Status::Ok; ++i) {
        count = store().itemCount();
        x = ctl().internals().recordingSurface().CurrentX();
        y = ctl().internals().recordingSurface().CurrentY();
        auto relative = P1_Proporional_To_currentYofPageNumber;
        EXPECT_EQ(ctl().fxProporional_CurrentY(relative), Status::Ok);
        status = text(QStringLiteral("item %1").arg(i),
                      i % 7 == 0 ? A2_JumpToNextLine : A1_StayWhereYouAre);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(status, Status::DiskFull);
    EXPECT_EQ(store().itemCount(), count);
    EXPECT_EQ(count, 1024 + 10);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentX(), x);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentY(), y);
    // The pending marks went with the failed item; the next one takes its number.
    ASSERT_EQ(text(QStringLiteral("next")), Status::Ok);
    EXPECT_EQ(item(count + 1).YRelative, 0);
    EXPECT_EQ(item(count + 1).ItemText.trimmed(), QStringLiteral("next"));
    EXPECT_EQ(item(count).ItemText.trimmed(), QStringLiteral("item %1").arg(count - 1));
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_EQ(QFile(path("palvex.rpt")).size(), qint64(store().itemCount()) * PrintItem::Size);
}

TEST_F(Recording, KindAndAlignmentCodesAreValidated) {
    for (int16_t k : {0, 1, 2, 3, 4, 11, 13, 14, 15, 16, 17})
        EXPECT_EQ(validatedKind(k), k);
    for (int16_t k : {5, 10, 12, 18, -1, 255})
        EXPECT_EQ(validatedKind(k), KindText);
    EXPECT_EQ(validatedAlign(4, KindText), 0);
    EXPECT_EQ(validatedAlign(4, KindPicture), 4);
    EXPECT_EQ(validatedAlign(5, KindText), 5);
    EXPECT_EQ(validatedAlign(6, KindText), 6);
    EXPECT_EQ(validatedAlign(7, KindText), 0);
    EXPECT_EQ(validatedAlign(-1, KindText), 0);
}

TEST_F(Recording, SavedMarginsComeBackAtTheNextStart) {
    start();
    m_control.reset();
    {
        // An earlier run chose a left margin of 2.37 cm and a right one of 0.5 cm.
        ReportStore raw(CodePage::system());
        raw.OpenReportStore(m_dir.path().toStdString(), Definitions::DefaultMarginsCm);
        Definitions d = raw.readDefinitions();
        d.DefReals[0] = 2.37;
        d.DefReals[1] = 0.5;
        d.DefLongs[0] = 0x00FFFF;
        raw.writeDefinitions(d);
    }
    m_control = std::make_unique<Palvex>(m_platform);
    start();
    EXPECT_EQ(ctl().internals().view().marginIndexes[0], 237);
    EXPECT_FLOAT_EQ(ctl().internals().report().margins.left, float(237 * 0.01 * 567));
    float rightMargin = 0;
    EXPECT_EQ(ctl().gtRightMargin(out(rightMargin)), Status::Ok);
    EXPECT_FLOAT_EQ(rightMargin, float(50 * 0.01 * 567));
    int32_t back = 0;
    EXPECT_EQ(ctl().get_BackColor(out(back)), Status::Ok);
    EXPECT_EQ(back, 0x00FFFF);
    ASSERT_EQ(right(QStringLiteral("r")), Status::Ok);
    EXPECT_FLOAT_EQ(item(1).ItemX, rightMargin);
}

TEST_F(Recording, ASecondInstanceEmptiesTheStoreButKeepsTheDefinitions) {
    start();
    ASSERT_EQ(text(QStringLiteral("one")), Status::Ok);
    Platform other = testPlatform();
    Palvex second(other);
    ASSERT_EQ(second.StartPalvexPrintPreview(), Status::Ok);
    EXPECT_EQ(QFile(path("palvex.rpt")).size(), 0);
    EXPECT_EQ(QFile(path("palvex.dfn")).size(), 1024);
}

} // namespace
} // namespace palvex::test
