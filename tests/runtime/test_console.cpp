// The hooked console entry points and the text view over an 80-column grid;
// code-page conversion to code page 437.
#include <gtest/gtest.h>

#include <tuple>

#include "console/con_print.h"
#include "runtime/intl.h"
#include "runtime/zq_rt.h"

namespace {
struct Calls {
    int inkey, locate, cls_mode, width_cols, width_rows, row, col, sleep_ms, view_updates;
} calls;
int32_t grid_rows;

class Hooks : public testing::Test {
   protected:
    void SetUp() override {
        calls = {}, grid_rows = 30, saved_ = __zq_ctx.hooks;
        ConsoleHooks& h = __zq_ctx.hooks;
        h.hook_inkey = [] { return ++calls.inkey, zq_CHR(1, 'x'); };
        h.hook_cls = [](int32_t mode) { return calls.cls_mode = mode, 0; };
        h.hook_width = [](int32_t cols, int32_t rows) {
            return calls.width_cols = cols, calls.width_rows = rows, (30 << 16) | 80;
        };
        h.hook_locate = [](int32_t row, int32_t col, int32_t) {
            return ++calls.locate, calls.row = row, calls.col = col, 0x1234;
        };
        h.hook_getsize = [](int32_t* cols, int32_t* rows) {
            if (cols) *cols = 80;
            if (rows) *rows = grid_rows;
        };
        h.hook_view_update = [] { ++calls.view_updates; };
        h.hook_sleep = [](int32_t ms) { calls.sleep_ms = ms; };
        zq_ConsoleSetTopBotRows(-1, -1);
    }
    void TearDown() override {
        __zq_ctx.hooks = saved_;
        zq_ConsoleSetTopBotRows(-1, -1);
    }
    static int32_t view(int32_t top, int32_t bottom) { return top | (bottom << 16); }
    static std::pair<int32_t, int32_t> rows() {
        return {zq_ConsoleGetTopRow(), zq_ConsoleGetBotRow()};
    }
    ConsoleHooks saved_;
};
}  // namespace

TEST_F(Hooks, WidthAndLocate) {
    zq_ConsoleSetTopBotRows(4, 9);
    EXPECT_EQ(zq_Width(0, 0), (30 << 16) | 80);
    EXPECT_EQ(std::tuple(rows(), calls.locate), std::tuple(std::pair(4, 9), 0));
    EXPECT_EQ(zq_Width(80, 25), 0);
    // The whole grid again, the cursor at row 1, column 1.
    EXPECT_EQ(std::tuple(calls.width_cols, calls.width_rows, __zq_ctx.files[0].width, rows(),
                         calls.row, calls.col),
              std::tuple(80, 25, 80, std::pair(0, 29), 1, 1));
    // Locate checks the view and the width.
    zq_ConsoleSetTopBotRows(4, 9);  // rows 5 to 10
    int32_t out = -1;
    EXPECT_EQ(zq_LocateEx(6, 10, 1, &out), 0);
    EXPECT_EQ(std::pair(out, __zq_ctx.files[0].print_col), std::pair(0x1234, 9));
    EXPECT_EQ(zq_LocateEx(6, 80, 1, &out), 0);  // the column after the last is allowed
    for (const auto& [row, col] : {std::pair(11, 1), {6, 81}, {6, -1}, {-3, 1}}) {
        out = -1;
        EXPECT_EQ(zq_LocateEx(row, col, 1, &out), 1);
        EXPECT_EQ(std::pair(out, zq_ErrorGetNum()), std::pair(0, 1));
    }
    // zq_Locate retries a refused position in place: only the retry reaches the screen.
    calls = {};
    EXPECT_EQ(zq_Locate(20, 3, 0, 0, 0), 0x1234);
    EXPECT_EQ(std::tuple(calls.locate, calls.row, calls.col, zq_ErrorGetNum()),
              std::tuple(1, 0, 0, 0));
}

TEST_F(Hooks, ViewSetsRowsOrRefusesAndChangesNothing) {
    EXPECT_EQ(zq_ConsoleView(0, 0), view(1, 30));
    EXPECT_EQ(std::tuple(rows(), calls.row, calls.col, calls.view_updates),
              std::tuple(std::pair(0, 29), 1, 1, 1));
    zq_ConsoleView(5, 10);
    EXPECT_EQ(zq_ConsoleView(-1, 20), view(5, 20));  // negative keeps the current top
    int32_t top = 0, bottom = 0;
    zq_ConsoleGetView(&top, &bottom);
    EXPECT_EQ(std::tuple(calls.row, top, bottom), std::tuple(5, 5, 20));
    calls = {};
    for (const auto& [t, b] : {std::pair(10, 5), {1, 31}, {31, 31}, {-1, 2}, {1, INT32_MAX}}) {
        EXPECT_EQ(zq_ConsoleView(t, b), 0) << t << "," << b;
    }
    EXPECT_EQ(zq_ConsoleView(-5, -5), view(5, 20));  // both negative: a query
    EXPECT_EQ(zq_ConsoleView(INT32_MIN, INT32_MIN), view(5, 20));
    EXPECT_EQ(std::tuple(rows(), calls.locate, calls.view_updates),
              std::tuple(std::pair(4, 19), 0, 0));
    // The defaults follow the current text size; with none known, 25 rows.
    zq_ConsoleSetTopBotRows(-1, -1);
    grid_rows = 0;
    EXPECT_EQ(zq_ConsoleGetBotRow(), 24);
    EXPECT_EQ(zq_ConsoleView(0, 0), view(1, 25));
    zq_ConsoleSetTopBotRows(-1, -1);
    grid_rows = 30;
    EXPECT_EQ(rows(), std::pair(0, 29));
}

TEST_F(Hooks, SetSlotsReceiveTheCallEmptyOnesReachTheTextConsole) {
    EXPECT_EQ(zq_StrCompare(zq_Inkey(), -1, "x", 1), 0);
    zq_Sleep(123);
    __zq_ctx.files[0].print_col = 17;
    zq_Cls(static_cast<int32_t>(0xFFFF0000u));
    EXPECT_EQ(std::tuple(calls.inkey, calls.sleep_ms, calls.cls_mode, __zq_ctx.files[0].print_col),
              std::tuple(1, 123, static_cast<int32_t>(0xFFFF0000u), 0));
    __zq_ctx.hooks = ConsoleHooks{};
    EXPECT_EQ(zq_StrCompare(zq_Inkey(), -1, "", 0), 0);  // no console key waiting
    EXPECT_EQ(zq_KeyHit(), 0);
    int32_t cols = 0, rows = 0;
    zq_GetSize(&cols, &rows);
    EXPECT_GT(cols * rows, 0);
    zq_GetSize(nullptr, nullptr);
    EXPECT_EQ(zq_Width(0, 0), (rows << 16) | cols);
}

namespace {
// The screen's view always starts at column 0; tab stops count from the left
// edge of any view. No bottom row: no scroll (there is no scroll hook to call).
TEST(PrintEngine, TabStopsFromTheViewsLeftEdge) {
    auto write = [](ConPrintView*, const char*, int32_t) { return 1; };
    ConPrintView v{nullptr, nullptr, write, 2, 0, 20, -1, 2, 0};  // columns 2 to 20
    zq_ConPrintTTY(&v, "\n\n\nb\t", 5, 1);
    EXPECT_EQ(std::pair(v.x, v.y), std::pair(10, 3));
}

uint8_t convert(uint8_t ch, int32_t from, int32_t to) {
    char c = static_cast<char>(ch);
    EXPECT_EQ(zq_hIntlConvertString(&c, 1, from, to), 0);
    return static_cast<uint8_t>(c);
}

TEST(Intl, Cp1252And437) {
    const uint8_t cases[][2] = {
        {0x00, 0x00}, {0x7F, 0x7F},                // ASCII unchanged
        {0xC7, 0x80}, {0xE9, 0x82}, {0xFF, 0x98},  // C cedilla, e acute, y diaeresis
        {0x83, 0x9F}, {0xA0, 0xFF},                // f hook (0x80..0x9F block), no-break space
        {0x80, '?'},  {0xC0, '?'},  {0x81, '?'},   // euro, A grave, unassigned: none in 437
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(convert(in, ZQ_CP_ANSI, ZQ_CP_437), out) << std::hex << int(in);  // ANSI is 1252
    }
    // Every 437 character that 1252 also has comes back unchanged.
    int32_t shared = 0;
    for (int32_t b = 0x80; b < 0x100; ++b) {
        const uint8_t via = convert(static_cast<uint8_t>(b), ZQ_CP_437, ZQ_CP_1252);
        if (via == '?') continue;
        ++shared;
        EXPECT_EQ(convert(via, ZQ_CP_1252, ZQ_CP_437), b) << std::hex << b;
    }
    EXPECT_GT(shared, 50);
    char text[] = "\xE9t\xE9";
    EXPECT_EQ(zq_hIntlConvertString(text, 3, ZQ_CP_1252, ZQ_CP_437), 0);
    EXPECT_STREQ(text, "\x82t\x82");
    EXPECT_EQ(zq_hIntlConvertString(text, 1, ZQ_CP_1252, 65001), -1);  // unknown pages: refused
    EXPECT_EQ(text[0], '\x82');
}
}  // namespace
