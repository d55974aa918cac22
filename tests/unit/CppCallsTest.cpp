// A host written in C++ calls the control with literals and temporaries, and still gets the
// corrections written back when it passes its own variables.

#include "ControlFixture.h"

namespace palvex::test {
namespace {

class CppCalls : public ControlFixture {};

TEST_F(CppCalls, LiteralsAndTemporariesAreTaken) {
    start();
    EXPECT_EQ(ctl().printText(QStringLiteral("literal"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(ctl().RightIT(QString::fromUtf8("ימין"), A1_StayWhereYouAre), Status::Ok);
    EXPECT_EQ(ctl().centerIT(QStringLiteral("centre"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(ctl().fxNameHeader(1, QString::fromUtf8("כותרת")), Status::Ok);
    EXPECT_EQ(ctl().fxFontsizeHeader(1, 16.0f), Status::Ok);
    EXPECT_EQ(ctl().fxDefaultMargins(1.0f, 1.0f, 1.0f, 1.0f), Status::Ok);
    EXPECT_EQ(ctl().printBox(100, 100, 2000, 900, 0, 0, 13, 0, 1, A0_AlignNone, QString()),
              Status::Ok);
    EXPECT_EQ(ctl().printLine(100, 1000, 2000, 1000, 0, 13, 0, 2, A0_AlignNone), Status::Ok);
    EXPECT_EQ(store().itemCount(), 5);
    EXPECT_EQ(item(1).ItemText.trimmed(), QStringLiteral("literal"));
    // The temporary width 0 is drawn 1 wide, as it would be for a variable.
    EXPECT_EQ(item(4).ItemText.mid(40, 5), QStringLiteral("    1"));
}

TEST_F(CppCalls, AVariableStillReceivesWhatTheCallCorrects) {
    start();
    int16_t width = -3;
    ASSERT_EQ(ctl().printLine(100, 1000, 2000, 1000, 0, 13, 0, width, A0_AlignNone), Status::Ok);
    EXPECT_EQ(width, 1);
    const int16_t fixedWidth = -3;
    ASSERT_EQ(ctl().printLine(100, 1100, 2000, 1100, 0, 13, 0, fixedWidth, A0_AlignNone),
              Status::Ok);
    EXPECT_EQ(fixedWidth, -3);
}

} // namespace
} // namespace palvex::test
