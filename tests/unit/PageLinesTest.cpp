// The page lines: the break limit stays tied to the page-number line however the line is placed,
// and a zoomed page can always return to the page at 100 %.

#include "recording/PageLines.h"

#include <gtest/gtest.h>

namespace palvex::test {
namespace {

TEST(PageLines, TheBreakLimitFollowsThePageNumberLineWhereverItIsPlaced) {
    PageLines lines;
    lines.placePageNumberLine(15000);
    EXPECT_FLOAT_EQ(lines.pageNumberLine(), 15000);
    EXPECT_FLOAT_EQ(lines.breakLimit(), 15000 - BreakDistance);

    // A bottom margin moved the line: the limit moves with it, at 100 % and after a zoom.
    lines.placePageNumberLine(14000);
    EXPECT_FLOAT_EQ(lines.breakLimit(), 14000 - BreakDistance);
    lines.placeZoomedPageNumberLine(21000, 1.5f);
    lines.unzoom();
    EXPECT_FLOAT_EQ(lines.pageNumberLine(), 14000);
    EXPECT_FLOAT_EQ(lines.breakLimit(), 14000 - BreakDistance);
}

TEST(PageLines, AZoomedPageScalesTheBreakDistanceAndKeepsTheLinesAtFullSize) {
    PageLines lines;
    lines.placePageNumberLine(15000);
    lines.placeZoomedPageNumberLine(30000, 2.0f);
    EXPECT_FLOAT_EQ(lines.pageNumberLine(), 30000);
    EXPECT_FLOAT_EQ(lines.breakLimit(), 30000 - 2 * BreakDistance);
    EXPECT_FLOAT_EQ(lines.unzoomedPageNumberLine(), 15000);

    // Zooming again starts from the page at 100 %, not from the last zoom.
    lines.placeZoomedPageNumberLine(7500, 0.5f);
    EXPECT_FLOAT_EQ(lines.breakLimit(), 7500 - 0.5f * BreakDistance);
    EXPECT_FLOAT_EQ(lines.unzoomedPageNumberLine(), 15000);
}

} // namespace
} // namespace palvex::test
