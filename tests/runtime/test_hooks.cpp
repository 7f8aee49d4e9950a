// The hooked console entry points: dispatch to a set slot, fall back to the
// text console otherwise, and the extra work around the dispatch.
#include <gtest/gtest.h>

#include <tuple>

#include "runtime/zq_rt.h"

namespace {
struct Calls {
    int inkey, locate, cls_mode, width_cols, width_rows, locate_row, locate_col, sleep_ms;
} calls;

// Installs a grid of 80 x 30 cells behind the hooks, like a graphics screen.
class Hooks : public testing::Test {
   protected:
    void SetUp() override {
        calls = {};
        saved_ = __zq_ctx.hooks;
        ConsoleHooks& h = __zq_ctx.hooks;
        h.hook_inkey = [] { return ++calls.inkey, zq_CHR(1, 'x'); };
        h.hook_cls = [](int32_t mode) { return calls.cls_mode = mode, 0; };
        h.hook_width = [](int32_t cols, int32_t rows) {
            calls.width_cols = cols, calls.width_rows = rows;
            return (30 << 16) | 80;
        };
        h.hook_locate = [](int32_t row, int32_t col, int32_t) {
            ++calls.locate, calls.locate_row = row, calls.locate_col = col;
            return 0x1234;
        };
        h.hook_getsize = [](int32_t* cols, int32_t* rows) {
            if (cols) *cols = 80;
            if (rows) *rows = 30;
        };
        h.hook_view_update = [] {};
        h.hook_sleep = [](int32_t ms) { calls.sleep_ms = ms; };
        zq_ConsoleSetTopBotRows(-1, -1);
    }
    void TearDown() override {
        __zq_ctx.hooks = saved_;
        zq_ConsoleSetTopBotRows(-1, -1);
    }
    ConsoleHooks saved_;
};
}  // namespace

TEST_F(Hooks, SetSlotsReceiveTheCall) {
    EXPECT_EQ(zq_StrCompare(zq_Inkey(), -1, "x", 1), 0);
    EXPECT_EQ(calls.inkey, 1);
    zq_Sleep(123);
    EXPECT_EQ(calls.sleep_ms, 123);
    __zq_ctx.files[0].print_col = 17;
    zq_Cls(static_cast<int32_t>(0xFFFF0000u));
    EXPECT_EQ(calls.cls_mode, static_cast<int32_t>(0xFFFF0000u));
    EXPECT_EQ(__zq_ctx.files[0].print_col, 0);
}

TEST_F(Hooks, WidthQueryChangesNothingAndSetResetsTheView) {
    zq_ConsoleSetTopBotRows(4, 9);
    EXPECT_EQ(zq_Width(0, 0), (30 << 16) | 80);
    EXPECT_EQ(zq_ConsoleGetTopRow(), 4);
    EXPECT_EQ(calls.locate, 0);
    EXPECT_EQ(zq_Width(80, 25), 0);
    EXPECT_EQ(calls.width_cols * 100 + calls.width_rows, 8025);
    EXPECT_EQ(__zq_ctx.files[0].width, 80);
    // The view covers the whole grid again and the cursor went to row 1, column 1.
    EXPECT_EQ(zq_ConsoleGetTopRow() * 100 + zq_ConsoleGetBotRow(), 29);
    EXPECT_EQ(calls.locate_row * 100 + calls.locate_col, 101);
}

TEST_F(Hooks, LocateChecksTheViewAndTheWidth) {
    zq_ConsoleSetTopBotRows(4, 9);  // rows 5 to 10
    int32_t out = -1;
    EXPECT_EQ(zq_LocateEx(6, 10, 1, &out), 0);
    EXPECT_EQ(out, 0x1234);
    EXPECT_EQ(__zq_ctx.files[0].print_col, 9);
    EXPECT_EQ(zq_LocateEx(6, 80, 1, &out), 0);  // the column after the last is allowed
    const int32_t bad[][2] = {{11, 1}, {6, 81}, {6, -1}, {-3, 1}};
    for (const auto& b : bad) {
        out = -1;
        EXPECT_EQ(zq_LocateEx(b[0], b[1], 1, &out), 1);
        EXPECT_EQ(std::pair(out, zq_ErrorGetNum()), std::pair(0, 1));
    }
    // zq_Locate retries a refused position in place: only the retry reaches the screen.
    calls = {};
    EXPECT_EQ(zq_Locate(20, 3, 0, 0, 0), 0x1234);
    EXPECT_EQ(calls.locate, 1);
    EXPECT_EQ(std::tuple(calls.locate_row, calls.locate_col, zq_ErrorGetNum()),
              std::tuple(0, 0, 0));
}

TEST(HookFallback, EmptySlotsReachTheTextConsole) {
    ConsoleHooks saved = __zq_ctx.hooks;
    __zq_ctx.hooks = ConsoleHooks{};
    EXPECT_EQ(zq_StrCompare(zq_Inkey(), -1, "", 0), 0);  // no console key waiting
    EXPECT_EQ(zq_KeyHit(), 0);
    int32_t cols = 0, rows = 0;
    zq_GetSize(&cols, &rows);
    EXPECT_GT(cols * rows, 0);
    zq_GetSize(nullptr, nullptr);
    EXPECT_EQ(zq_Width(0, 0), (rows << 16) | cols);
    __zq_ctx.hooks = saved;
}
