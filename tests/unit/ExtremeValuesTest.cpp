// Numbers no page can hold: every recording member refuses coordinates, sizes and widths beyond
// the page range and records nothing, a cursor carried off the page is refused at the next item,
// random extreme calls still leave a report that exports as a valid PDF, and measuring a very
// long text never overflows.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "core/Guarded.h"

#include <cfloat>
#include <cmath>
#include <functional>
#include <random>

namespace palvex::test {
namespace {

using ExtremeValues = ControlFixture;

// Calls each recording member with one twips argument set to `value`, the others ordinary.
struct TwipsCall {
    const char* member;
    std::function<Status(Palvex&, float)> call;
};

std::vector<TwipsCall> twipsCalls() {
    auto line = [](Palvex& c, float x1, float y1, float x2, float y2) {
        int16_t width = 1;
        return c.printLine(x1, y1, x2, y2, 0, 13, 0, width, A0_AlignNone);
    };
    auto box = [](Palvex& c, float x1, float y1, float x2, float y2) {
        int16_t width = 1;
        return c.printBox(x1, y1, x2, y2, 0, 0, 13, width, 1, A0_AlignNone, QString());
    };
    auto circle = [](Palvex& c, float x, float y, float r) {
        int16_t width = 1;
        return c.printCircle(x, y, 0, 0, 13, width, 1, r, A0_AlignNone);
    };
    auto chars = [](Palvex& c, float start, float end) {
        AfterPrintType entr = A1_StayWhereYouAre;
        WhereToPrintChars where = K0_StartAndEndPointAsDefined;
        return c.fxPrintingChars(start, end, int16_t('-'), PrintHorizontal, entr, where);
    };
    auto special = [](Palvex& c, float x1, float x2, float y1, float y2) {
        return c.SpecialCenter(x1, x2, QStringLiteral("t"), A1_StayWhereYouAre, y1, &y2);
    };
    return {
        {"printLine x1", [=](Palvex& c, float v) { return line(c, v, 600, 4000, 600); }},
        {"printLine y1", [=](Palvex& c, float v) { return line(c, 0, v, 4000, 600); }},
        {"printLine x2", [=](Palvex& c, float v) { return line(c, 0, 600, v, 600); }},
        {"printLine y2", [=](Palvex& c, float v) { return line(c, 0, 600, 4000, v); }},
        {"printBox x1", [=](Palvex& c, float v) { return box(c, v, 600, 4000, 900); }},
        {"printBox y2", [=](Palvex& c, float v) { return box(c, 0, 600, 4000, v); }},
        {"printCircle x", [=](Palvex& c, float v) { return circle(c, v, 2000, 300); }},
        {"printCircle y", [=](Palvex& c, float v) { return circle(c, 2000, v, 300); }},
        {"printCircle radius", [=](Palvex& c, float v) { return circle(c, 2000, 2000, v); }},
        {"fxPrintingChars start", [=](Palvex& c, float v) { return chars(c, v, 3000); }},
        {"fxPrintingChars end", [=](Palvex& c, float v) { return chars(c, 1000, v); }},
        {"SpecialCenter start x", [=](Palvex& c, float v) { return special(c, v, 3000, 0, 0); }},
        {"SpecialCenter end y", [=](Palvex& c, float v) { return special(c, 0, 3000, 0, v); }},
    };
}

TEST_F(ExtremeValues, EveryRecordingMemberRefusesTwipsBeyondThePageAndRecordsNothing) {
    start();
    for (const float value : {1e30f, -1e30f, FLT_MAX, -FLT_MAX, MaxTwips * 2, -MaxTwips * 2}) {
        for (const TwipsCall& c : twipsCalls()) {
            EXPECT_EQ(c.call(ctl(), value), Status::Overflow) << c.member << " " << value;
            EXPECT_EQ(store().itemCount(), 0) << c.member << " " << value;
        }
        EXPECT_EQ(ctl().let_CurrentX(value), Status::InvalidPropertyValue) << value;
        EXPECT_EQ(ctl().let_CurrentY(value), Status::InvalidPropertyValue) << value;
        EXPECT_EQ(ctl().fxreduceTwips(value), Status::Overflow) << value;
        int16_t header = 1;
        EXPECT_EQ(ctl().fxCurXHeader(header, value), Status::Overflow) << value;
    }
    EXPECT_EQ(ctl().internals().report().lineHeaders[0].x, 0.0f);
    // The bound itself is a page coordinate like any other.
    for (const TwipsCall& c : twipsCalls())
        EXPECT_EQ(c.call(ctl(), MaxTwips), Status::Ok) << c.member;
    EXPECT_EQ(ctl().let_CurrentY(-MaxTwips), Status::Ok);
}

TEST_F(ExtremeValues, ACursorCarriedOffThePageIsRefusedAtTheNextItemAndPutBack) {
    start();
    ASSERT_EQ(ctl().let_CurrentX(MaxTwips - 10), Status::Ok);
    const int32_t before = store().itemCount();
    EXPECT_EQ(text(QStringLiteral("carried beyond the page")), Status::Overflow);
    EXPECT_EQ(store().itemCount(), before);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentX(), MaxTwips - 10);
    float x = 0;
    EXPECT_EQ(ctl().get_CurrentX(out(x)), Status::Ok);
    EXPECT_FLOAT_EQ(x, MaxTwips - 10);
    ASSERT_EQ(ctl().let_CurrentX(0), Status::Ok);
    EXPECT_EQ(text(QStringLiteral("back on the page")), Status::Ok);
}

// A host's bug or a fuzzer's inputs: whatever mix of values the members take, the report they
// leave exports as a PDF that qpdf finds nothing wrong with.
TEST_F(ExtremeValues, RandomExtremeCallsStillExportAValidPdf) {
    start();
    std::mt19937 random(20261209);
    const float extremes[] = {0,        -1,       1e-30f,    1e30f,        -1e30f, FLT_MAX,
                              -FLT_MAX, MaxTwips, -MaxTwips, MaxTwips * 2, 16000,  -16000,
                              1e7f,     FLT_MIN,  3.5e9f,    -2147483648.f};
    std::uniform_int_distribution<size_t> pickValue(0, std::size(extremes) - 1);
    const std::vector<TwipsCall> calls = twipsCalls();
    std::uniform_int_distribution<size_t> pickCall(0, calls.size() + 2);
    int recorded = 0;
    for (int i = 0; i < 400; ++i) {
        const float value = extremes[pickValue(random)];
        const size_t which = pickCall(random);
        Status status;
        if (which < calls.size()) {
            status = calls[which].call(ctl(), value);
        } else if (which == calls.size()) {
            status = ctl().let_CurrentX(value);
        } else if (which == calls.size() + 1) {
            status = ctl().let_CurrentY(value);
        } else {
            status = text(QStringLiteral("text %1").arg(i));
        }
        if (status == Status::Ok) ++recorded;
        if (i % 50 == 49) {
            ASSERT_EQ(ctl().let_CurrentX(0), Status::Ok);
            ASSERT_EQ(ctl().let_CurrentY(1000), Status::Ok);
            ASSERT_EQ(text(QStringLiteral("page end")), Status::Ok);
            ASSERT_EQ(ctl().printPage(), Status::Ok);
        }
    }
    ASSERT_GT(recorded, 0);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = path("extreme.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    const PdfCheck check = qpdfCheck(pdf);
    EXPECT_TRUE(check.clean()) << check.exitCode << "\n" << qPrintable(check.output);
}

TEST_F(ExtremeValues, AVeryLongTextIsMeasuredWithoutOverflowing) {
    start();
    EXPECT_EQ(ctl().let_FontSize(12), Status::Ok);
    const QString word = QStringLiteral("abcdefghij ");
    const float one = textWidth(word);
    ASSERT_GT(one, 0);
    for (const int repeats : {1000, 30000, 100000}) {
        const float width = textWidth(word.repeated(repeats));
        EXPECT_NEAR(width / (one * float(repeats)), 1.0, 0.01) << repeats;
    }
    // The largest size a host may set, over a text no engine can add up in fixed point.
    EXPECT_EQ(ctl().let_FontSize(2160), Status::Ok);
    EXPECT_GT(textWidth(QString(200000, QChar(0x05D0))), 0);
}

} // namespace
} // namespace palvex::test
