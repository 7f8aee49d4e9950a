// Boxes, the clear modes and the view statement.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "gfx/gfx_internal.h"

namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kJunk = 0x12345678u;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr int32_t kClearDefault = static_cast<int32_t>(0xFFFF0000u);
constexpr int32_t kAbsolute = 1;
constexpr int32_t kNoBorder = 0x40000000;
constexpr int32_t kNoFill = static_cast<int32_t>(0x80000000u);

int lock_calls = 0;
int unlock_calls = 0;
void count_lock() {
    ++lock_calls;
}
void count_unlock() {
    ++unlock_calls;
}

class BoxTest : public ::testing::Test {
   protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(64, 48)); }
    void TearDown() override {
        zq_ConsoleSetTopBotRows(-1, -1);
        if (!__zq_gfx) return;
        __zq_gfx->driver = saved_driver_;
        zq_GfxScreen(0, 0, 0, 0, 0);
    }

    void open(int w, int h) {
        ASSERT_EQ(zq_GfxScreenRes(w, h, 32, 0, -1, 0), 0);
        saved_driver_ = __zq_gfx->driver;
        counter_ = *saved_driver_;
        counter_.lock = count_lock;
        counter_.unlock = count_unlock;
        __zq_gfx->driver = &counter_;
        lock_calls = unlock_calls = 0;
        ctx_ = zq_hGetContext();
    }

    static uint32_t pixel(int x, int y) {
        uint32_t v;
        std::memcpy(&v, __zq_gfx->framebuffer + y * __zq_gfx->pitch + x * 4, 4);
        return v;
    }
    static PixelSet having(uint32_t color) {
        PixelSet out;
        for (int y = 0; y < __zq_gfx->height; ++y) {
            for (int x = 0; x < __zq_gfx->width; ++x) {
                if (pixel(x, y) == color) out.insert({x, y});
            }
        }
        return out;
    }
    static void fill_junk() {
        auto* p = reinterpret_cast<uint32_t*>(__zq_gfx->framebuffer);
        std::fill(p, p + __zq_gfx->width * __zq_gfx->height, kJunk);
        std::memset(__zq_gfx->dirty, 0, size_t(__zq_gfx->height));
    }
    static std::vector<int> dirty_rows() {
        std::vector<int> rows;
        for (int y = 0; y < __zq_gfx->height; ++y) {
            if (__zq_gfx->dirty[y]) rows.push_back(y);
        }
        return rows;
    }
    static CharCell& cell(int col, int row) {
        return __zq_gfx->char_cells[0][row * __zq_gfx->text_cols + col];
    }
    static void fill_cells(uint16_t ch) {
        for (int r = 0; r < __zq_gfx->text_rows; ++r) {
            for (int c = 0; c < __zq_gfx->text_cols; ++c) cell(c, r).ch = ch;
        }
    }
    static void box(int x1, int y1, int x2, int y2, bool filled, uint32_t style = 0xFFFF) {
        zq_hGfxBox(x1, y1, x2, y2, kGreen, filled, style);
    }

    GfxContext* ctx_ = nullptr;
    GfxDriver counter_{};
    const GfxDriver* saved_driver_ = nullptr;
};

std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int i = first; i <= last; ++i) out.push_back(i);
    return out;
}

PixelSet rect(int x1, int y1, int x2, int y2) {
    PixelSet out;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) out.insert({x, y});
    }
    return out;
}

PixelSet frame(int x1, int y1, int x2, int y2) {
    PixelSet out;
    for (const Pixel& p : rect(x1, y1, x2, y2)) {
        if (p.first == x1 || p.first == x2 || p.second == y1 || p.second == y2) out.insert(p);
    }
    return out;
}

PixelSet within(const PixelSet& set, int x1, int y1, int x2, int y2) {
    PixelSet out;
    for (const Pixel& p : set) {
        if (p.first >= x1 && p.first <= x2 && p.second >= y1 && p.second <= y2) out.insert(p);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Boxes.

TEST_F(BoxTest, FilledBoxInsideTheView) {
    box(5, 6, 14, 9, true, 0x1);  // the style does not apply to filled boxes
    EXPECT_EQ(having(kGreen), rect(5, 6, 14, 9));
    EXPECT_EQ(dirty_rows(), range(6, 9));
    EXPECT_EQ(lock_calls, 1);
    EXPECT_EQ(unlock_calls, 1);
}

TEST_F(BoxTest, FilledBoxIsClippedToTheView) {
    zq_GfxView(10, 5, 40, 30, 0, 0, kAbsolute | kNoBorder | kNoFill);
    box(-100, 0, 20, 1000, true);
    EXPECT_EQ(having(kGreen), rect(10, 5, 20, 30));
    EXPECT_EQ(dirty_rows(), range(5, 30));
}

TEST_F(BoxTest, BoxThatMissesTheViewTakesNoLock) {
    box(64, 0, 80, 10, true);
    box(-10, -10, -1, 5, false);
    box(0, 48, 5, 50, false, 0xF0F0);
    EXPECT_TRUE(having(kGreen).empty());
    EXPECT_EQ(lock_calls, 0);
    EXPECT_TRUE(dirty_rows().empty());
}

TEST_F(BoxTest, SolidOutlineDrawsOnlyVisibleEdges) {
    box(3, 4, 12, 9, false);
    EXPECT_EQ(having(kGreen), frame(3, 4, 12, 9));
    EXPECT_EQ(dirty_rows(), range(4, 9));
    fill_junk();
    box(-5, 40, 70, 60, false);  // only the top row is on the screen
    EXPECT_EQ(having(kGreen), rect(0, 40, 63, 40));
    EXPECT_EQ(dirty_rows(), range(40, 47));
}

TEST_F(BoxTest, StyledOutlineRunsBottomTopRightLeft) {
    // Box (0,0)-(3,2): positions 0-3 bottom row, 4-7 top row, 8-10 right
    // column, 11-13 left column, each run in ascending order.
    struct Case {
        uint32_t style;
        PixelSet want;
    } cases[] = {
        {0x8000, {{0, 2}}}, {0x1000, {{3, 2}}}, {0x0800, {{0, 0}}}, {0x0080, {{3, 0}}},
        {0x0020, {{3, 2}}}, {0x0010, {{0, 0}}}, {0x0004, {{0, 2}}}, {0x0003, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        fill_junk();
        box(0, 0, 3, 2, false, c.style);
        EXPECT_EQ(having(kGreen), c.want);
    }
}

TEST_F(BoxTest, ClippedStyledOutlineKeepsTheUnclippedDashes) {
    const uint32_t styles[] = {0xF0F0, 0xC3A5, 0x8001};
    for (uint32_t style : styles) {
        SCOPED_TRACE(style);
        zq_GfxView(-32768, -32768, -32768, -32768, 0, 0, 0);
        fill_junk();
        box(2, 3, 45, 40, false, style);
        const PixelSet whole = having(kGreen);
        zq_GfxView(13, 9, 63, 30, 0, 0, kAbsolute | kNoBorder | kNoFill);
        fill_junk();
        box(2, 3, 45, 40, false, style);
        EXPECT_EQ(having(kGreen), within(whole, 13, 9, 63, 30));
    }
}

TEST_F(BoxTest, ExtremeCornersStayInsideTheScreen) {
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    box(lo, lo, hi, hi, false, 0xF0F0);
    EXPECT_TRUE(having(kGreen).empty());  // every edge is off the screen
    box(lo, 10, hi, hi, false);
    EXPECT_EQ(having(kGreen), rect(0, 10, 63, 10));
    box(lo, lo, hi, hi, true);
    EXPECT_EQ(having(kGreen).size(), 64u * 48u);
}

// ---------------------------------------------------------------------------
// Clear.

TEST_F(BoxTest, DefaultClearWithoutViewClearsTheWholeScreen) {
    fill_junk();
    fill_cells('A');
    zq_GfxLocate(4, 5, -1);
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(having(kBlack).size(), 64u * 48u);
    EXPECT_EQ(dirty_rows(), range(0, 47));
    EXPECT_EQ(__zq_gfx->cursor_y, 0);
    EXPECT_EQ(__zq_gfx->cursor_x, 0);
    EXPECT_EQ(ctx_->last_x, 32.0f);
    EXPECT_EQ(ctx_->last_y, 24.0f);
    for (int r = 0; r < __zq_gfx->text_rows; ++r) {
        for (int c = 0; c < __zq_gfx->text_cols; ++c) {
            ASSERT_EQ(cell(c, r).ch, ' ');
            ASSERT_EQ(cell(c, r).fg, ctx_->fg_color);
            ASSERT_EQ(cell(c, r).bg, kBlack);
        }
    }
    EXPECT_EQ(lock_calls, 1);
    EXPECT_EQ(unlock_calls, 1);
}

TEST_F(BoxTest, DefaultClearWithViewClearsOnlyTheView) {
    zq_GfxView(10, 5, 40, 30, 0, 0, kNoBorder | kNoFill);
    fill_junk();
    fill_cells('A');
    zq_GfxLocate(4, 5, -1);
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(having(kBlack), rect(10, 5, 40, 30));
    EXPECT_EQ(dirty_rows(), range(5, 30));
    EXPECT_EQ(ctx_->last_x, 25.0f);  // 10 + 31 / 2
    EXPECT_EQ(ctx_->last_y, 18.0f);  // 5 + 26 / 2
    EXPECT_EQ(cell(0, 0).ch, 'A');
    EXPECT_EQ(__zq_gfx->cursor_y, 3);
    EXPECT_EQ(__zq_gfx->cursor_x, 4);
    // Any other mode value acts as the view clear; mode 0 is the whole screen.
    fill_junk();
    zq_GfxClear(7);
    EXPECT_EQ(having(kBlack), rect(10, 5, 40, 30));
    zq_GfxClear(0);
    EXPECT_EQ(having(kBlack).size(), 64u * 48u);
}

TEST_F(BoxTest, DefaultClearWithPartialTextViewClearsTheTextRows) {
    zq_ConsoleSetTopBotRows(1, 3);  // text rows 1..3 of the 8 x 8 grid
    fill_junk();
    fill_cells('A');
    ctx_->last_x = 7;
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(having(kBlack), rect(0, 8, 63, 31));
    EXPECT_EQ(dirty_rows(), range(8, 31));
    EXPECT_EQ(cell(0, 0).ch, 'A');
    EXPECT_EQ(cell(7, 1).ch, ' ');
    EXPECT_EQ(cell(0, 3).ch, ' ');
    EXPECT_EQ(cell(0, 4).ch, 'A');
    EXPECT_EQ(__zq_gfx->cursor_y, 1);
    EXPECT_EQ(__zq_gfx->cursor_x, 0);
    EXPECT_EQ(ctx_->last_x, 7.0f);
}

TEST_F(BoxTest, TextClearStaysInsideTheScreen) {
    zq_ConsoleSetTopBotRows(4, 200);
    fill_junk();
    zq_GfxClear(2);
    EXPECT_EQ(having(kBlack), rect(0, 32, 63, 47));
    zq_ConsoleSetTopBotRows(9, 12);  // wholly below the grid
    fill_junk();
    zq_GfxClear(2);
    EXPECT_TRUE(having(kBlack).empty());
}

// ---------------------------------------------------------------------------
// View.

TEST_F(BoxTest, ViewWithBorderAndFill) {
    ASSERT_NO_FATAL_FAILURE(TearDown());
    ASSERT_NO_FATAL_FAILURE(open(128, 64));
    const uint32_t fill = 0xFF0000FFu, border = 0xFFFF0000u;
    zq_GfxView(10, 10, 100, 50, fill, border, 0);
    EXPECT_EQ(having(border), frame(9, 9, 101, 51));
    EXPECT_EQ(having(fill), rect(10, 10, 100, 50));
    EXPECT_EQ(ctx_->last_x, 55.0f);
    EXPECT_EQ(ctx_->last_y, 30.0f);
    EXPECT_EQ(ctx_->flags & (CTX_VIEW_ON | CTX_VIEW_ABSOLUTE), CTX_VIEW_ON);
    // Later drawing is relative to the view and confined to it.
    zq_GfxLine(nullptr, -1000, 0, 1000, 0, kGreen, 0, 0xFFFF, 0);
    EXPECT_EQ(having(kGreen), rect(10, 10, 100, 10));
}

TEST_F(BoxTest, AbsoluteFlagKeepsScreenCoordinates) {
    zq_GfxView(10, 10, 40, 40, 0, 0, kAbsolute | kNoBorder | kNoFill);
    EXPECT_NE(ctx_->flags & CTX_VIEW_ABSOLUTE, 0u);
    zq_GfxLine(nullptr, 12, 12, 12, 12, kGreen, 0, 0xFFFF, 0);
    EXPECT_EQ(having(kGreen), (PixelSet{{12, 12}}));
    zq_GfxView(10, 10, 40, 40, 0, 0, kNoBorder | kNoFill);
    EXPECT_EQ(ctx_->flags & CTX_VIEW_ABSOLUTE, 0u);
    zq_GfxLine(nullptr, 12, 12, 12, 12, kGreen, 0, 0xFFFF, 0);
    EXPECT_EQ(having(kGreen), (PixelSet{{12, 12}, {22, 22}}));
}

TEST_F(BoxTest, MissingColoursDrawNothing) {
    fill_junk();
    zq_GfxView(20, 10, 5, 2, kGreen, kGreen, kNoBorder | kNoFill);  // corners in any order
    EXPECT_TRUE(having(kGreen).empty());
    EXPECT_EQ(lock_calls, 0);
    EXPECT_EQ(ctx_->view_x, 5);
    EXPECT_EQ(ctx_->view_y, 2);
    EXPECT_EQ(ctx_->view_w, 16);
    EXPECT_EQ(ctx_->view_h, 9);
    zq_GfxView(20, 10, 5, 2, kGreen, kBlack, kNoBorder);
    EXPECT_EQ(having(kGreen), rect(5, 2, 20, 10));
    zq_GfxView(20, 10, 5, 2, kBlack, kGreen, kNoFill);
    EXPECT_EQ(having(kGreen), rect(4, 1, 21, 11));
}

TEST_F(BoxTest, ResetRestoresTheWholeScreenWithoutDrawing) {
    zq_GfxView(10, 10, 20, 20, kGreen, kGreen, 0);
    fill_junk();
    lock_calls = 0;
    zq_GfxView(-32768, -32768, -32768, -32768, kGreen, kGreen, 0);
    EXPECT_TRUE(having(kGreen).empty());
    EXPECT_EQ(lock_calls, 0);
    EXPECT_EQ(ctx_->flags & CTX_VIEW_ON, 0u);
    EXPECT_EQ(ctx_->view_x, 0);
    EXPECT_EQ(ctx_->view_y, 0);
    EXPECT_EQ(ctx_->view_w, 64);
    EXPECT_EQ(ctx_->view_h, 48);
}

TEST_F(BoxTest, RectangleWhoseCornersMerelyOrLikeTheResetIsAView) {
    // The coordinates OR to 0xFFFF8000 like the reset form, but this is the
    // rectangle (-32768,-32768)-(0,0): on the screen, just pixel (0,0).
    zq_GfxView(-32768, -32768, 0, 0, kGreen, 0, kNoBorder);
    EXPECT_NE(ctx_->flags & CTX_VIEW_ON, 0u);
    EXPECT_EQ(ctx_->view_w, 1);
    EXPECT_EQ(ctx_->view_h, 1);
    EXPECT_EQ(having(kGreen), (PixelSet{{0, 0}}));
}

TEST_F(BoxTest, ViewIsCutToTheScreen) {
    zq_GfxView(-20, 5, 30, 100, 0, 0, kNoBorder | kNoFill);
    EXPECT_EQ(ctx_->view_x, 0);
    EXPECT_EQ(ctx_->view_w, 31);
    EXPECT_EQ(ctx_->view_y, 5);
    EXPECT_EQ(ctx_->view_h, 43);
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    zq_GfxView(lo, lo, hi, hi, kGreen, kBlack, 0);
    EXPECT_EQ(ctx_->view_w, 64);
    EXPECT_EQ(ctx_->view_h, 48);
    EXPECT_EQ(having(kGreen).size(), 64u * 48u);
}

TEST_F(BoxTest, ViewOffTheScreenIsEmpty) {
    fill_junk();
    zq_GfxView(70, 5, 90, 20, kGreen, kGreen, 0);
    EXPECT_EQ(ctx_->view_w, 0);
    EXPECT_TRUE(having(kGreen).empty());
    zq_GfxLine(nullptr, -100, -100, 100, 100, kGreen, 0, 0xFFFF, 0);
    zq_GfxLine(nullptr, -100, -100, 100, 100, kGreen, 2, 0xFFFF, 0);
    zq_GfxClear(1);
    EXPECT_TRUE(having(kGreen).empty());
    EXPECT_TRUE(having(kBlack).empty());
}

TEST(BoxNoScreen, EverythingIsANoOp) {
    ASSERT_EQ(__zq_gfx, nullptr);
    zq_hGfxBox(0, 0, 10, 10, kGreen, 1, 0xFFFF);
    zq_GfxView(0, 0, 10, 10, kGreen, kGreen, 0);
    EXPECT_EQ(zq_GfxClear(0), 0);
}

}  // namespace
