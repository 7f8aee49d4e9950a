// The demo's frame parameters: eight draws per frame, scaled and rounded to
// nearest with ties to even, last DRAW_SEGMENT parameter first.
#include <gtest/gtest.h>

#include <vector>

#include "demo/frame.h"
#include "runtime/rt_internal.h"
#include "runtime/zq_rt.h"

namespace {
std::vector<int32_t> fields(const SectorParams& p) {
    return {p.X, p.Y, p.RADIUS, p.ASTART, p.AEND, p.RED, p.GREEN, p.BLUE};
}
}  // namespace

TEST(DemoFrames, FirstThreeFramesFromTheUnseededGenerator) {
    zq_hRndReset();
    EXPECT_EQ(fields(DRAW_PARAMS()), (std::vector<int32_t>{621, 142, 196, 231, 274, 136, 84, 84}));
    EXPECT_EQ(fields(DRAW_PARAMS()), (std::vector<int32_t>{314, 12, 199, 26, 245, 137, 242, 247}));
    SectorParams third = DRAW_PARAMS();
    EXPECT_EQ(std::pair(third.ASTART, third.AEND), std::pair(323, 295));
    zq_hRndReset();
}

TEST(DemoFrames, ParametersStayInTheirRanges) {
    zq_hRndReset();
    bool saw_max_x = false, saw_zero_radius = false;
    for (int i = 0; i < 20000; ++i) {
        SectorParams p = DRAW_PARAMS();
        ASSERT_TRUE(p.X >= 0 && p.X <= 640 && p.Y >= 0 && p.Y <= 480) << i;
        ASSERT_TRUE(p.RADIUS >= 0 && p.RADIUS <= 300 && p.ASTART <= 360 && p.AEND <= 360) << i;
        saw_max_x |= p.X == 640;
        saw_zero_radius |= p.RADIUS == 0;
    }
    // Rounding to nearest makes both ends of a range reachable.
    EXPECT_TRUE(saw_max_x && saw_zero_radius);
    zq_hRndReset();
}
