// The demo's frame parameters: eight draws per frame, scaled and rounded to
// nearest with ties to even, last DRAW_SEGMENT parameter first.
#include <gtest/gtest.h>

#include "demo/frame.h"
#include "runtime/rt_internal.h"
#include "runtime/zq_rt.h"

namespace {
void expect_frame(const SectorParams& p, int32_t x, int32_t y, int32_t radius, int32_t astart,
                  int32_t aend, int red, int green, int blue) {
    EXPECT_EQ(p.X, x);
    EXPECT_EQ(p.Y, y);
    EXPECT_EQ(p.RADIUS, radius);
    EXPECT_EQ(p.ASTART, astart);
    EXPECT_EQ(p.AEND, aend);
    EXPECT_EQ(p.RED, red);
    EXPECT_EQ(p.GREEN, green);
    EXPECT_EQ(p.BLUE, blue);
}
}  // namespace

TEST(DemoFrames, FirstThreeFramesFromTheUnseededGenerator) {
    zq_hRndReset();
    expect_frame(DRAW_PARAMS(), 621, 142, 196, 231, 274, 136, 84, 84);
    expect_frame(DRAW_PARAMS(), 314, 12, 199, 26, 245, 137, 242, 247);
    SectorParams third = DRAW_PARAMS();
    EXPECT_EQ(third.ASTART, 323);
    EXPECT_EQ(third.AEND, 295);
    zq_hRndReset();
}

TEST(DemoFrames, ParametersStayInTheirRanges) {
    zq_hRndReset();
    bool saw_max_x = false, saw_zero_radius = false;
    for (int i = 0; i < 20000; ++i) {
        SectorParams p = DRAW_PARAMS();
        ASSERT_GE(p.X, 0);
        ASSERT_LE(p.X, 640);
        ASSERT_GE(p.Y, 0);
        ASSERT_LE(p.Y, 480);
        ASSERT_GE(p.RADIUS, 0);
        ASSERT_LE(p.RADIUS, 300);
        ASSERT_LE(p.ASTART, 360);
        ASSERT_LE(p.AEND, 360);
        saw_max_x |= p.X == 640;
        saw_zero_radius |= p.RADIUS == 0;
    }
    // Rounding to nearest makes both ends of a range reachable.
    EXPECT_TRUE(saw_max_x);
    EXPECT_TRUE(saw_zero_radius);
    zq_hRndReset();
}
