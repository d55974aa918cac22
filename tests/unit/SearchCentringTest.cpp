// Search, page centring and the option panels, through the preview's own controls.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "preview/PageCentring.h"
#include "preview/PageRenderer.h"
#include "preview/Search.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace palvex::test {
namespace {

class Previewed : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        start();
    }
    void pressInSearch(int qtKey) {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(child<QLineEdit>("txtSearch"), &press);
    }
    Status record(const QString& s, int32_t entr = A2_JumpToNextLine) { return text(s, entr); }
};

using Searching = Previewed;

TEST_F(Searching, FindsTextInTextItemsOnlyAndCaseSensitively) {
    QString inBox = QStringLiteral("abc in a box");
    int16_t width = 1;
    float x1 = 100, y1 = 100, x2 = 2000, y2 = 600;
    int32_t fill = 0, style = 0, mode = 13, fillStyle = 1;
    auto al = A0_AlignNone;
    EXPECT_EQ(ctl().printBox(x1, y1, x2, y2, fill, style, mode, width, fillStyle, al, inBox),
              Status::Ok);
    QString between = QStringLiteral("abc between points");
    float a = 100, b = 5000, c = 3000;
    auto e = A2_JumpToNextLine;
    EXPECT_EQ(ctl().SpecialCenter(a, b, between, e, c, nullptr), Status::Ok);
    EXPECT_EQ(record(QStringLiteral("Abc")), Status::Ok);
    EXPECT_EQ(record(QStringLiteral("xxabcxx")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    click(6);
    EXPECT_FALSE(child<QGroupBox>("fraSearch")->isHidden());
    search(QStringLiteral("  abc "));
    EXPECT_EQ(ctl().internals().search().searchStart(), 5); // after item 4, "xxabcxx"
    EXPECT_EQ(ctl().internals().search().foundText(), QStringLiteral("abc"));
    EXPECT_TRUE(child<QGroupBox>("fraSearch")->isHidden());
    EXPECT_TRUE(boxes().log().empty());

    click(7); // nothing more: a beep and the message with its flags
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[0], QStringLiteral("beep"));
    EXPECT_EQ(boxes().log()[1], QStringLiteral("msgbox 524352: abc\\nNot found any more"));
    EXPECT_FALSE(ctl().internals().view().searchContinue);
    EXPECT_TRUE(child<QLineEdit>("txtSearch")->text().isEmpty());
}

TEST_F(Searching, SingleCharactersAreJoinedIntoTheLineUnderTest) {
    for (const char* ch : {"a", "b", "c"})
        EXPECT_EQ(record(QString::fromLatin1(ch), A1_StayWhereYouAre), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    click(6);
    search(QStringLiteral("abc"));
    EXPECT_EQ(ctl().internals().search().searchStart(), 4);
    EXPECT_TRUE(boxes().log().empty());

    // "xabc" is longer than the target: a line of single characters is compared only when its
    // length is the target's.
    start();
    for (const char* ch : {"x", "a", "b", "c"})
        EXPECT_EQ(record(QString::fromLatin1(ch), A1_StayWhereYouAre), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    click(6);
    search(QStringLiteral("abc"));
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[1], QStringLiteral("msgbox 524352: abc\\nNot found any more"));
}

TEST_F(Searching, GoesToThePageOfTheMatchAndHighlightsWhereTheItemWasDrawn) {
    EXPECT_EQ(record(QString::fromUtf8("עמוד ראשון")), Status::Ok);
    EXPECT_EQ(ctl().printPage(), Status::Ok);
    EXPECT_EQ(record(QString::fromUtf8("עמוד שני")), Status::Ok);
    EXPECT_EQ(ctl().printPage(), Status::Ok);
    EXPECT_EQ(record(QString::fromUtf8("עמוד שלישי")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    click(6);
    search(QStringLiteral("-2-")); // the page number of page 2, a footer item
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
    EXPECT_EQ(child<QComboBox>("cboPage")->currentIndex(), 1);
    const std::vector<DrawnText> number = drawnWith(QStringLiteral("-2-"));
    ASSERT_EQ(number.size(), 1u);
    // Magenta pixels lie inside the page number's box on the canvas.
    EXPECT_GT(pixelsIn(number[0], isMagenta), 20);
}

TEST_F(Searching, EnterSearchesAndEscapeClosesThePanel) {
    EXPECT_EQ(record(QStringLiteral("needle")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    click(6);
    child<QLineEdit>("txtSearch")->setText(QStringLiteral("needle"));
    pressInSearch(Qt::Key_Return);
    EXPECT_EQ(ctl().internals().search().searchStart(), 2);
    click(6);
    pressInSearch(Qt::Key_Escape);
    EXPECT_TRUE(child<QGroupBox>("fraSearch")->isHidden());
    EXPECT_FALSE(ctl().internals().view().searchContinue);
}

using Centring = Previewed;

TEST_F(Centring, TheShiftCentresTheFreeTextAndIsZeroWithoutIt) {
    EXPECT_FLOAT_EQ(centringShift(11000, 2000, 6000), 1500);
    EXPECT_FLOAT_EQ(centringShift(11000, 11000, 0), 0); // a page with no centrable text
}

TEST_F(Centring, CentringWritesTheShiftIntoTheItemsItMayMove) {
    EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    EXPECT_EQ(record(QStringLiteral("free")), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    EXPECT_EQ(ctl().let_DontConsiderForCenter(true), Status::Ok);
    EXPECT_EQ(record(QStringLiteral("kept")), Status::Ok);
    EXPECT_EQ(record(QStringLiteral("centred")), Status::Ok); // centerIT below
    ASSERT_EQ(center(QStringLiteral("title"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    select("cboMoreOptions", 3); // centre this page
    EXPECT_TRUE(child<QProgressBar>("Prg1")->isHidden());
    EXPECT_NE(item(1).CenterOffset, 0);
    EXPECT_EQ(item(2).CenterOffset, 0); // NoCentering
    EXPECT_EQ(item(4).CenterOffset, 0); // centred by centerIT
    EXPECT_EQ(item(5).CenterOffset, 0); // the page number keeps its place
    // The shift equals the free text's extent moved into the middle of the page.
    const float width = ctl().internals().recordingSurface().ScaleWidth();
    const float min = item(1).ItemX, max = item(3).ItemX + textWidth(QStringLiteral("centred"));
    (void)max;
    EXPECT_GT(item(1).CenterOffset, 0);
    EXPECT_LT(item(1).CenterOffset, width);
    EXPECT_FLOAT_EQ(item(1).CenterOffset, item(3).CenterOffset);
    EXPECT_GT(min, 0);
}

TEST_F(Centring, CentreAllPagesFromTheHostCentresEveryPageWhenRecordingEnds) {
    bool on = true;
    ASSERT_EQ(ctl().tfCenterPages(on), Status::Ok);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(ctl().let_CurrentX(500), Status::Ok);
        EXPECT_EQ(record(QStringLiteral("page")), Status::Ok);
        if (p < 2) {
            EXPECT_EQ(ctl().printPage(), Status::Ok);
        }
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    for (int32_t n = 1; n <= store().itemCount(); ++n)
        if (item(n).NoCentering == 0) {
            EXPECT_GT(item(n).CenterOffset, 0) << n;
        }
    EXPECT_EQ(ctl().internals().view().currentPage, 1);
    EXPECT_TRUE(child<QProgressBar>("Prg1")->isHidden());
    EXPECT_TRUE(child<QWidget>("cmdShowDaf")->isHidden());
}

using Panels = Previewed;

TEST_F(Panels, MarginsOkMovesThePageNumberLineAndPersists) {
    EXPECT_EQ(record(QStringLiteral("x")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const float line = ctl().internals().report().lines.pageNumberLine();
    select("cboMoreOptions", 1);
    EXPECT_FALSE(child<QGroupBox>("fraMarginsSetup")->isHidden());
    child<QComboBox>("cboBottomMargin")->setCurrentIndex(200);
    child<QPushButton>("cmdOKMarginsSetup")->click();
    EXPECT_TRUE(child<QGroupBox>("fraMarginsSetup")->isHidden());
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.pageNumberLine(), line + 850.5f);
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.breakLimit(), line + 850.5f - 1800);
    // OK with the bottom margin unchanged leaves the line.
    child<QPushButton>("cmdOKMarginsSetup")->click();
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.pageNumberLine(), line + 850.5f);

    // A new control in the same directory starts with the chosen margin.
    m_control = makeControl();
    start();
    float bottom = 0;
    EXPECT_EQ(ctl().gtBottomMargin(out(bottom)), Status::Ok);
    EXPECT_FLOAT_EQ(bottom, 1134);
}

TEST_F(Panels, CancelRestoresTheMarginsAndDefaultsSelectTheDefaultMargins) {
    for (const char* list : {"cboLeftMargin", "cboRightMargin", "cboTopMargin"})
        child<QComboBox>(list)->setCurrentIndex(10);
    child<QPushButton>("cmdCancelMarginsSetup")->click();
    EXPECT_EQ(child<QComboBox>("cboLeftMargin")->currentIndex(), 150);
    EXPECT_EQ(child<QComboBox>("cboTopMargin")->currentIndex(), 150);
    float l = 1, r = 2, t = 0.5f, b = 3;
    EXPECT_EQ(ctl().fxDefaultMargins(l, r, t, b), Status::Ok);
    child<QCheckBox>("chkDefaultMargins")->setChecked(true);
    EXPECT_EQ(child<QComboBox>("cboLeftMargin")->currentIndex(), 100);
    EXPECT_EQ(child<QComboBox>("cboRightMargin")->currentIndex(), 200);
    EXPECT_EQ(child<QComboBox>("cboTopMargin")->currentIndex(), 50);
    EXPECT_EQ(child<QComboBox>("cboBottomMargin")->currentIndex(), 300);
}

TEST_F(Panels, ZoomOptionsAndTheColourPersistAcrossInstances) {
    EXPECT_EQ(record(QStringLiteral("x")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    child<QCheckBox>("chkZoomHeight")->setChecked(true);
    child<QPushButton>("cmdCancelZoomOptions")->click(); // the box stays for this report only
    EXPECT_TRUE(ctl().internals().view().zoomHeight);
    child<QCheckBox>("chkZoomWidth")->setChecked(true);
    child<QPushButton>("cmdOKZoomOptions")->click();

    std::static_pointer_cast<ScriptedDialogs>(m_platform.dialogs)->queueColor(std::nullopt);
    select("cboMoreOptions", 5); // cancelled: nothing changes
    int32_t color = 0;
    EXPECT_EQ(ctl().get_BackColor(out(color)), Status::Ok);
    EXPECT_EQ(color, Definitions::DefaultBackColor);
    std::static_pointer_cast<ScriptedDialogs>(m_platform.dialogs)->queueColor(0x00FFC0);
    select("cboMoreOptions", 5);
    EXPECT_EQ(ctl().get_BackColor(out(color)), Status::Ok);
    EXPECT_EQ(color, 0x00FFC0);

    m_control = makeControl();
    start();
    EXPECT_TRUE(ctl().internals().view().zoomWidth);
    EXPECT_TRUE(ctl().internals().view().zoomHeight);
    EXPECT_EQ(ctl().get_BackColor(out(color)), Status::Ok);
    EXPECT_EQ(color, 0x00FFC0);
}

} // namespace
} // namespace palvex::test
