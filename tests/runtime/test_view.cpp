// The text view rows over an 80 x 30 grid, as on the demo's graphics screen.
#include <gtest/gtest.h>

#include "runtime/zq_rt.h"

namespace {
int32_t grid_rows, located_row, located_col, view_updates;

class TextView : public testing::Test {
   protected:
    void SetUp() override {
        saved_ = __zq_ctx.hooks;
        __zq_ctx.hooks.hook_getsize = [](int32_t* cols, int32_t* rows) {
            if (cols) *cols = 80;
            if (rows) *rows = grid_rows;
        };
        __zq_ctx.hooks.hook_locate = [](int32_t row, int32_t col, int32_t) {
            return located_row = row, located_col = col, 0;
        };
        __zq_ctx.hooks.hook_view_update = [] { ++view_updates; };
        grid_rows = 30;
        located_row = located_col = view_updates = 0;
        zq_ConsoleSetTopBotRows(-1, -1);
    }
    void TearDown() override {
        __zq_ctx.hooks = saved_;
        zq_ConsoleSetTopBotRows(-1, -1);
    }
    static int32_t view(int32_t top, int32_t bottom) { return top | (bottom << 16); }
    ConsoleHooks saved_;
};
}  // namespace

TEST_F(TextView, SetsRowsAndMovesTheCursorToTheTop) {
    EXPECT_EQ(zq_ConsoleView(0, 0), view(1, 30));
    EXPECT_EQ(zq_ConsoleGetBotRow(), 29);
    EXPECT_EQ(located_row * 100 + located_col, 101);
    EXPECT_EQ(view_updates, 1);

    zq_ConsoleView(5, 10);
    EXPECT_EQ(zq_ConsoleView(-1, 20), view(5, 20));  // negative keeps the current top
    EXPECT_EQ(located_row, 5);
    int32_t top = 0, bottom = 0;
    zq_ConsoleGetView(&top, &bottom);
    EXPECT_EQ(top * 100 + bottom, 520);
}

TEST_F(TextView, RefusedRequestsChangeNothing) {
    zq_ConsoleView(3, 7);
    located_row = view_updates = 0;
    const int32_t refused[][2] = {{10, 5}, {1, 31},        {31, 31},
                                  {-1, 2}, {1, INT32_MAX}, {INT32_MAX, INT32_MAX}};
    for (const auto& r : refused) EXPECT_EQ(zq_ConsoleView(r[0], r[1]), 0) << r[0] << "," << r[1];
    // Both negative: a query of the view in force.
    EXPECT_EQ(zq_ConsoleView(-5, -5), view(3, 7));
    EXPECT_EQ(zq_ConsoleView(INT32_MIN, INT32_MIN), view(3, 7));
    EXPECT_EQ(zq_ConsoleGetTopRow() * 100 + zq_ConsoleGetBotRow(), 206);
    EXPECT_EQ(located_row + view_updates, 0);
}

TEST_F(TextView, DefaultsFollowTheCurrentTextSize) {
    grid_rows = 25;
    EXPECT_EQ(zq_ConsoleGetBotRow(), 24);
    zq_ConsoleSetTopBotRows(-1, -1);
    grid_rows = 0;  // no size known: 25 rows
    EXPECT_EQ(zq_ConsoleGetBotRow(), 24);
    EXPECT_EQ(zq_ConsoleView(0, 0), view(1, 25));
    zq_ConsoleSetTopBotRows(-1, -1);
    grid_rows = 30;
    int32_t top = 0, bottom = 0;
    zq_ConsoleGetView(&top, &bottom);
    EXPECT_EQ(top * 100 + bottom, 130);
}
