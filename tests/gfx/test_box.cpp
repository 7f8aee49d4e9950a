// Boxes, the clear modes and the view statement.
#include <limits>

#include "recording_driver.h"

namespace {

constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kJunk = 0x12345678u;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr int32_t kClearDefault = static_cast<int32_t>(0xFFFF0000u);
constexpr int32_t kAbsolute = 1;
constexpr int32_t kBare = 0x40000000 | static_cast<int32_t>(0x80000000u);  // no border, no fill
constexpr int32_t lo = std::numeric_limits<int32_t>::min();
constexpr int32_t hi = std::numeric_limits<int32_t>::max();

using BoxTest = RecordingScreenTest;
using ClearTest = RecordingScreenTest;
using ViewTest = RecordingScreenTest;

void box(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool filled, uint32_t style = 0xFFFF) {
    zq_hGfxBox(x1, y1, x2, y2, kGreen, filled, style);
}
// The characters of the first column, one per text row.
std::vector<uint16_t> first_column() {
    std::vector<uint16_t> out;
    for (int r = 0; r < __zq_gfx->text_rows; ++r) {
        out.push_back(__zq_gfx->char_cells[0][r * __zq_gfx->text_cols].ch);
    }
    return out;
}
void fill_cells(uint16_t ch) {
    for (int i = 0; i < __zq_gfx->text_rows * __zq_gfx->text_cols; ++i) {
        __zq_gfx->char_cells[0][i].ch = ch;
    }
}

TEST_F(BoxTest, FilledAndOutlineBoxesAreClippedToTheView) {
    box(64, 0, 80, 10, true);  // boxes off the screen take no lock
    box(-10, -10, -1, 5, false);
    box(0, 48, 5, 50, false, 0xF0F0);
    EXPECT_EQ(lock_log.locks, 0);
    zq_GfxLine(nullptr, 14, 9, 5, 6, kGreen, 2, 0x1, 0);  // filled: corners in any order, no style
    EXPECT_EQ(having(kGreen), rect(5, 6, 14, 9));
    EXPECT_EQ(dirty_rows(), range(6, 9));
    EXPECT_EQ(lock_log.locks, 1);
    EXPECT_TRUE(lock_log.paired());
    fill(kJunk);
    zq_GfxLine(nullptr, 12, 4, 3, 9, kGreen, 1, 0xFFFF, 0);
    EXPECT_EQ(having(kGreen), frame(3, 4, 12, 9));
    fill(kJunk);
    box(-5, 40, 70, 60, false);  // only the top row is on the screen
    EXPECT_EQ(having(kGreen), rect(0, 40, 63, 40));
    EXPECT_EQ(dirty_rows(), range(40, 47));
    box(lo, 10, hi, hi, false);
    EXPECT_EQ(having(kGreen), unite(rect(0, 10, 63, 10), rect(0, 40, 63, 40)));
    box(lo, lo, hi, hi, false, 0xF0F0);  // every edge is off the screen
    EXPECT_EQ(having(kGreen), unite(rect(0, 10, 63, 10), rect(0, 40, 63, 40)));
    box(lo, lo, hi, hi, true);
    EXPECT_EQ(having(kGreen).size(), 64u * 48u);
    zq_GfxView(10, 5, 40, 30, 0, 0, kAbsolute | kBare);
    fill(kJunk);
    box(-100, 0, 20, 1000, true);
    EXPECT_EQ(having(kGreen), rect(10, 5, 20, 30));
    EXPECT_EQ(dirty_rows(), range(5, 30));
}

// Box (0,0)-(3,2): positions 0-3 bottom row, 4-7 top row, 8-10 right column,
// 11-13 left column, each run ascending. A view cut keeps the dashes in place.
TEST_F(BoxTest, StyledOutlineRunsBottomTopRightLeftAndClipsInPlace) {
    const std::pair<uint32_t, PixelSet> cases[] = {
        {0x8000, {{0, 2}}}, {0x1000, {{3, 2}}}, {0x0800, {{0, 0}}}, {0x0080, {{3, 0}}},
        {0x0020, {{3, 2}}}, {0x0010, {{0, 0}}}, {0x0004, {{0, 2}}}, {0x0003, {}},
    };
    for (const auto& [style, want] : cases) {
        fill(kJunk);
        box(0, 0, 3, 2, false, style);
        EXPECT_EQ(having(kGreen), want) << style;
    }
    for (uint32_t style : {0xF0F0u, 0xC3A5u, 0x8001u}) {
        zq_GfxView(-32768, -32768, -32768, -32768, 0, 0, 0);
        fill(kJunk);
        box(2, 3, 45, 40, false, style);
        PixelSet want;
        for (const Pixel& p : having(kGreen)) {
            if (p.first >= 13 && p.second >= 9 && p.second <= 30) want.insert(p);
        }
        zq_GfxView(13, 9, 63, 30, 0, 0, kAbsolute | kBare);
        fill(kJunk);
        box(2, 3, 45, 40, false, style);
        EXPECT_EQ(having(kGreen), want) << style;
    }
}

// The default clears the view if there is one, else the screen when the text
// view covers every row, else only the text view's rows.
TEST_F(ClearTest, DefaultClearsTheScreenTheTextRowsOrTheView) {
    fill(kJunk);
    fill_cells('A');
    zq_GfxLocate(4, 5, -1);
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(having(kBlack).size(), 64u * 48u);
    EXPECT_EQ(dirty_rows(), range(0, 47));
    EXPECT_EQ(std::pair(lock_log.locks, lock_log.unlocks), std::pair(1, 1));
    EXPECT_EQ(cursor(), std::pair(0, 0));
    EXPECT_EQ(last_point(), std::pair(32.0f, 24.0f));
    for (int i = 0; i < __zq_gfx->text_rows * __zq_gfx->text_cols; ++i) {
        const CharCell& c = __zq_gfx->char_cells[0][i];
        ASSERT_TRUE(c.ch == ' ' && c.fg == ctx_->fg_color && c.bg == kBlack) << i;
    }
    zq_ConsoleSetTopBotRows(1, 3);  // text rows 1..3 of the 8 x 8 grid
    fill(kJunk);
    fill_cells('A');
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(having(kBlack), rect(0, 8, 63, 31));
    EXPECT_EQ(dirty_rows(), range(8, 31));
    EXPECT_EQ(first_column(), (std::vector<uint16_t>{'A', ' ', ' ', ' ', 'A', 'A'}));
    EXPECT_EQ(cursor(), std::pair(0, 1));
    EXPECT_EQ(last_point(), std::pair(32.0f, 24.0f));  // kept
    zq_GfxView(10, 5, 40, 30, 0, 0, kBare);
    fill(kJunk);
    fill_cells('A');
    zq_GfxLocate(4, 5, -1);
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(having(kBlack), rect(10, 5, 40, 30));
    EXPECT_EQ(dirty_rows(), range(5, 30));
    EXPECT_EQ(last_point(), std::pair(25.0f, 18.0f));  // (10 + 31 / 2, 5 + 26 / 2)
    EXPECT_EQ(first_column(), std::vector<uint16_t>(__zq_gfx->text_rows, 'A'));
    EXPECT_EQ(cursor(), std::pair(4, 3));
}

TEST_F(ClearTest, ExplicitModes) {
    zq_GfxView(10, 5, 40, 30, 0, 0, kBare);
    for (int32_t mode : {1, 7}) {  // any mode but 0 and 2 clears the view
        fill(kJunk);
        zq_GfxClear(mode);
        EXPECT_EQ(having(kBlack), rect(10, 5, 40, 30));
    }
    zq_GfxClear(0);
    EXPECT_EQ(having(kBlack).size(), 64u * 48u);
    zq_ConsoleSetTopBotRows(4, 200);  // the text rows are cut to the screen
    fill(kJunk);
    zq_GfxClear(2);
    EXPECT_EQ(having(kBlack), rect(0, 32, 63, 47));
    zq_ConsoleSetTopBotRows(9, 12);  // wholly below the grid
    fill(kJunk);
    zq_GfxClear(2);
    EXPECT_TRUE(having(kBlack).empty());
}

TEST_F(ViewTest, BorderFillAndRelativeOrAbsoluteDrawing) {
    zq_GfxView(10, 10, 50, 35, kBlack, kGreen, 0);
    EXPECT_EQ(having(kGreen), frame(9, 9, 51, 36));
    EXPECT_EQ(having(kBlack), rect(10, 10, 50, 35));
    EXPECT_EQ(last_point(), std::pair(30.0f, 23.0f));
    EXPECT_EQ(ctx_->flags & (CTX_VIEW_ON | CTX_VIEW_ABSOLUTE), CTX_VIEW_ON);
    zq_GfxLine(nullptr, -1000, 2, 1000, 2, kGreen, 0, 0xFFFF, 0);
    EXPECT_EQ(having(kGreen), unite(frame(9, 9, 51, 36), rect(10, 12, 50, 12)));
    zq_GfxView(10, 10, 40, 40, 0, 0, kAbsolute | kBare);
    EXPECT_NE(ctx_->flags & CTX_VIEW_ABSOLUTE, 0u);
    zq_GfxLine(nullptr, 12, 13, 12, 13, kGreen, 0, 0xFFFF, 0);
    EXPECT_EQ(pixel(12, 13), kGreen);
    // Corners come in any order; border and fill are each optional.
    fill(kJunk);
    lock_log = LockLog{};
    zq_GfxView(20, 10, 5, 2, kGreen, kGreen, kBare);
    EXPECT_TRUE(having(kGreen).empty());
    EXPECT_EQ(lock_log.locks, 0);
    EXPECT_EQ(view(), (std::vector<int32_t>{5, 2, 16, 9}));
    zq_GfxView(20, 10, 5, 2, kGreen, kBlack, 0x40000000);
    EXPECT_EQ(having(kGreen), rect(5, 2, 20, 10));
    zq_GfxView(20, 10, 5, 2, kBlack, kGreen, static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(having(kGreen), rect(4, 1, 21, 11));
}

TEST_F(ViewTest, ResetCutToTheScreenAndOffTheScreen) {
    zq_GfxView(10, 10, 20, 20, kGreen, kGreen, 0);
    fill(kJunk);
    lock_log = LockLog{};
    zq_GfxView(-32768, -32768, -32768, -32768, kGreen, kGreen, 0);  // resets, draws nothing
    EXPECT_TRUE(having(kGreen).empty());
    EXPECT_EQ(lock_log.locks, 0);
    EXPECT_EQ(ctx_->flags & CTX_VIEW_ON, 0u);
    EXPECT_EQ(view(), (std::vector<int32_t>{0, 0, 64, 48}));
    // These corners OR to the same bits as the reset, but are a rectangle.
    zq_GfxView(-32768, -32768, 0, 0, kGreen, 0, 0x40000000);
    EXPECT_NE(ctx_->flags & CTX_VIEW_ON, 0u);
    EXPECT_EQ(view(), (std::vector<int32_t>{0, 0, 1, 1}));
    EXPECT_EQ(having(kGreen), (PixelSet{{0, 0}}));
    zq_GfxView(-20, 5, 30, 100, 0, 0, kBare);
    EXPECT_EQ(view(), (std::vector<int32_t>{0, 5, 31, 43}));
    zq_GfxView(lo, lo, hi, hi, kGreen, kBlack, 0);
    EXPECT_EQ(view(), (std::vector<int32_t>{0, 0, 64, 48}));
    EXPECT_EQ(having(kGreen).size(), 64u * 48u);
    fill(kJunk);
    zq_GfxView(70, 5, 90, 20, kGreen, kGreen, 0);
    EXPECT_EQ(ctx_->view_w, 0);
    zq_GfxLine(nullptr, -100, -100, 100, 100, kGreen, 0, 0xFFFF, 0);
    zq_GfxLine(nullptr, -100, -100, 100, 100, kGreen, 2, 0xFFFF, 0);
    zq_GfxClear(1);
    EXPECT_TRUE(having(kGreen).empty() && having(kBlack).empty());
}

TEST(BoxNoScreen, DrawingIsANoOpThatKeepsTheLastPoint) {
    ASSERT_EQ(__zq_gfx, nullptr);
    GfxContext* ctx = zq_hGetContext();
    ctx->last_x = 1.5f;
    ctx->last_y = 2.5f;
    zq_GfxLine(nullptr, 0, 0, 10, 10, kGreen, 0, 0xFFFF, 0);
    zq_GfxLine(nullptr, 0, 0, 10, 10, kGreen, 2, 0xFFFF, 0);
    zq_hGfxBox(0, 0, 10, 10, kGreen, 1, 0xFFFF);
    zq_GfxView(0, 0, 10, 10, kGreen, kGreen, 0);
    EXPECT_EQ(zq_GfxClear(0), 0);
    EXPECT_EQ(std::pair(ctx->last_x, ctx->last_y), std::pair(1.5f, 2.5f));
}

}  // namespace
