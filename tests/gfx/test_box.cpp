// Boxes, the clear modes and the view statement.
#include <limits>

#include "recording_driver.h"

namespace {

constexpr uint32_t kGreen = 0xFF00FF00u, kJunk = 0x12345678u, kBlack = 0xFF000000u;
constexpr int32_t kClearDefault = static_cast<int32_t>(0xFFFF0000u);
constexpr int32_t kAbsolute = 1;
constexpr int32_t kBare = 0x40000000 | static_cast<int32_t>(0x80000000u);  // no border, no fill
constexpr int32_t lo = std::numeric_limits<int32_t>::min();
constexpr int32_t hi = std::numeric_limits<int32_t>::max();

class BoxTest : public RecordingScreenTest {
   protected:
    static PixelSet box(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool filled,
                        uint32_t style = 0xFFFF) {
        fill(kJunk);
        zq_hGfxBox(x1, y1, x2, y2, kGreen, filled, style);
        return having(kGreen);
    }
    static void fill_cells(uint16_t ch) {
        fill(kJunk);
        for (int i = 0; i < __zq_gfx->text_rows * __zq_gfx->text_cols; ++i) {
            __zq_gfx->char_cells[0][i].ch = ch;
        }
    }
    static std::vector<uint16_t> first_column() {
        std::vector<uint16_t> out;
        for (int r = 0; r < __zq_gfx->text_rows; ++r) {
            out.push_back(__zq_gfx->char_cells[0][r * __zq_gfx->text_cols].ch);
        }
        return out;
    }
    std::vector<int32_t> view() const {
        return {ctx_->view_x, ctx_->view_y, ctx_->view_w, ctx_->view_h};
    }
};

TEST_F(BoxTest, FilledAndOutlineBoxesAreClippedToTheView) {
    EXPECT_TRUE(box(64, 0, 80, 10, true).empty());  // boxes off the screen take no lock
    EXPECT_TRUE(box(0, 48, 5, 50, false, 0xF0F0).empty());
    EXPECT_EQ(lock_log.locks, 0);
    fill(kJunk);
    zq_GfxLine(nullptr, 14, 9, 5, 6, kGreen, 2, 0x1, 0);  // filled: corners in any order, no style
    EXPECT_EQ(std::tuple(having(kGreen), dirty_rows(), lock_log.locks, lock_log.paired()),
              std::tuple(rect(5, 6, 14, 9), std::pair(6, 9), 1, true));
    fill(kJunk);
    zq_GfxLine(nullptr, 12, 4, 3, 9, kGreen, 1, 0xFFFF, 0);
    EXPECT_EQ(having(kGreen), frame(3, 4, 12, 9));
    EXPECT_EQ(box(-5, 40, 70, 60, false), rect(0, 40, 63, 40));  // only the top row is on screen
    EXPECT_EQ(dirty_rows(), std::pair(40, 47));
    EXPECT_EQ(box(lo, 10, hi, hi, false), rect(0, 10, 63, 10));
    EXPECT_TRUE(box(lo, lo, hi, hi, false, 0xF0F0).empty());  // every edge is off the screen
    EXPECT_EQ(box(lo, lo, hi, hi, true).size(), 64u * 48u);
    zq_GfxView(10, 5, 40, 30, 0, 0, kAbsolute | kBare);
    EXPECT_EQ(box(-100, 0, 20, 1000, true), rect(10, 5, 20, 30));
    EXPECT_EQ(dirty_rows(), std::pair(5, 30));
    // Edges one past the view's last row and column are not drawn.
    PixelSet want = frame(12, 8, 41, 31);
    std::erase_if(want, [](const Pixel& p) { return p.first > 40 || p.second > 30; });
    EXPECT_EQ(box(12, 8, 41, 31, false), want);
}

// Box (0,0)-(3,2): positions 0-3 bottom row, 4-7 top row, 8-10 right column,
// 11-13 left column, each run ascending. A view cut keeps the dashes in place.
TEST_F(BoxTest, StyledOutlineRunsBottomTopRightLeftAndClipsInPlace) {
    const std::pair<uint32_t, PixelSet> cases[] = {
        {0x8000, {{0, 2}}}, {0x1000, {{3, 2}}}, {0x0800, {{0, 0}}}, {0x0080, {{3, 0}}},
        {0x0020, {{3, 2}}}, {0x0010, {{0, 0}}}, {0x0004, {{0, 2}}}, {0x0003, {}},
    };
    for (const auto& [style, want] : cases) EXPECT_EQ(box(0, 0, 3, 2, false, style), want) << style;
    for (uint32_t style : {0xF0F0u, 0xC3A5u, 0x8001u}) {
        zq_GfxView(-32768, -32768, -32768, -32768, 0, 0, 0);
        PixelSet want;
        for (const Pixel& p : box(2, 3, 45, 40, false, style)) {
            if (p.first >= 13 && p.second >= 9 && p.second <= 30) want.insert(p);
        }
        zq_GfxView(13, 9, 63, 30, 0, 0, kAbsolute | kBare);
        EXPECT_EQ(box(2, 3, 45, 40, false, style), want) << style;
    }
}

// The default clears the view if there is one, else the screen when the text
// view covers every row, else only the text view's rows; the explicit modes
// clear the screen (0), the text rows cut to the screen (2) or the view.
TEST_F(BoxTest, ClearModes) {
    fill_cells('A');
    zq_GfxLocate(4, 5, -1);
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(std::tuple(having(kBlack).size(), dirty_rows(), lock_log.locks, lock_log.unlocks),
              std::tuple(64u * 48u, std::pair(0, 47), 1, 1));
    EXPECT_EQ(std::pair(__zq_gfx->cursor_x, __zq_gfx->cursor_y), std::pair(0, 0));
    EXPECT_EQ(last_point(), std::pair(32.0f, 24.0f));
    for (int i = 0; i < __zq_gfx->text_rows * __zq_gfx->text_cols; ++i) {
        const CharCell& c = __zq_gfx->char_cells[0][i];
        ASSERT_TRUE(c.ch == ' ' && c.fg == ctx_->fg_color && c.bg == kBlack) << i;
    }
    zq_ConsoleSetTopBotRows(1, 3);  // text rows 1..3 of the 8 x 8 grid
    fill_cells('A');
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(std::pair(having(kBlack), dirty_rows()),
              std::pair(rect(0, 8, 63, 31), std::pair(8, 31)));
    EXPECT_EQ(first_column(), (std::vector<uint16_t>{'A', ' ', ' ', ' ', 'A', 'A'}));
    EXPECT_EQ(std::pair(__zq_gfx->cursor_x, __zq_gfx->cursor_y), std::pair(0, 1));
    zq_ConsoleSetTopBotRows(4, 200);  // the text rows are cut to the screen
    fill(kJunk);
    zq_GfxClear(2);
    EXPECT_EQ(having(kBlack), rect(0, 32, 63, 47));
    zq_ConsoleSetTopBotRows(9, 12);  // wholly below the grid
    fill(kJunk);
    zq_GfxClear(2);
    EXPECT_TRUE(having(kBlack).empty());
    zq_GfxView(10, 5, 40, 30, 0, 0, kBare);
    fill_cells('A');
    zq_GfxLocate(4, 5, -1);
    zq_GfxClear(kClearDefault);
    EXPECT_EQ(std::tuple(having(kBlack), dirty_rows(), last_point()),
              std::tuple(rect(10, 5, 40, 30), std::pair(5, 30), std::pair(25.0f, 18.0f)));
    EXPECT_EQ(first_column(), std::vector<uint16_t>(__zq_gfx->text_rows, 'A'));
    EXPECT_EQ(__zq_gfx->cursor_x, 4);
    for (int32_t mode : {1, 7}) {  // any mode but 0 and 2 clears the view
        fill(kJunk);
        zq_GfxClear(mode);
        EXPECT_EQ(having(kBlack), rect(10, 5, 40, 30));
    }
    zq_GfxClear(0);
    EXPECT_EQ(having(kBlack).size(), 64u * 48u);
}

TEST_F(BoxTest, ViewBorderFillDrawingResetAndCuts) {
    zq_GfxView(10, 10, 50, 35, kBlack, kGreen, 0);
    EXPECT_EQ(std::tuple(having(kGreen), having(kBlack), last_point()),
              std::tuple(frame(9, 9, 51, 36), rect(10, 10, 50, 35), std::pair(30.0f, 23.0f)));
    EXPECT_EQ(ctx_->flags & (CTX_VIEW_ON | CTX_VIEW_ABSOLUTE), CTX_VIEW_ON);
    zq_GfxLine(nullptr, -1000, 2, 1000, 2, kGreen, 0, 0xFFFF, 0);
    PixelSet want = frame(9, 9, 51, 36), row = rect(10, 12, 50, 12);
    want.merge(row);
    EXPECT_EQ(having(kGreen), want);
    zq_GfxView(10, 10, 40, 40, 0, 0, kAbsolute | kBare);
    zq_GfxLine(nullptr, 12, 13, 12, 13, kGreen, 0, 0xFFFF, 0);
    EXPECT_EQ(pixel(12, 13), kGreen);
    // Corners come in any order; border and fill are each optional.
    fill(kJunk);
    lock_log = LockLog{};
    zq_GfxView(20, 10, 5, 2, kGreen, kGreen, kBare);
    EXPECT_EQ(std::tuple(having(kGreen).size(), lock_log.locks, view()),
              std::tuple(0u, 0, std::vector<int32_t>{5, 2, 16, 9}));
    zq_GfxView(20, 10, 5, 2, kGreen, kBlack, 0x40000000);
    EXPECT_EQ(having(kGreen), rect(5, 2, 20, 10));
    zq_GfxView(20, 10, 5, 2, kBlack, kGreen, static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(having(kGreen), rect(4, 1, 21, 11));
    fill(kJunk);
    lock_log = LockLog{};
    zq_GfxView(-32768, -32768, -32768, -32768, kGreen, kGreen, 0);  // resets, draws nothing
    EXPECT_EQ(std::tuple(having(kGreen).size(), lock_log.locks, ctx_->flags & CTX_VIEW_ON, view()),
              std::tuple(0u, 0, 0u, std::vector<int32_t>{0, 0, 64, 48}));
    // These corners OR to the same bits as the reset, but are a rectangle.
    zq_GfxView(-32768, -32768, 0, 0, kGreen, 0, 0x40000000);
    EXPECT_EQ(std::pair(having(kGreen), view()),
              std::pair(PixelSet{{0, 0}}, std::vector{0, 0, 1, 1}));
    EXPECT_NE(ctx_->flags & CTX_VIEW_ON, 0u);
    zq_GfxView(-20, 5, 30, 100, 0, 0, kBare);
    EXPECT_EQ(view(), (std::vector<int32_t>{0, 5, 31, 43}));
    zq_GfxView(lo, lo, hi, hi, kGreen, kBlack, 0);
    EXPECT_EQ(std::pair(view(), having(kGreen).size()),
              std::pair(std::vector{0, 0, 64, 48}, size_t{64 * 48}));
    fill(kJunk);
    zq_GfxView(70, 5, 90, 20, kGreen, kGreen, 0);
    EXPECT_EQ(ctx_->view_w, 0);
    zq_GfxLine(nullptr, -100, -100, 100, 100, kGreen, 0, 0xFFFF, 0);
    zq_GfxLine(nullptr, -100, -100, 100, 100, kGreen, 2, 0xFFFF, 0);
    zq_GfxClear(1);
    EXPECT_TRUE(having(kGreen).empty() && having(kBlack).empty());
}

// Without a screen drawing, palettes and ports do nothing.
TEST(NoScreen, DrawingPalettesAndPortsAreNoOpsThatKeepTheLastPoint) {
    ASSERT_EQ(__zq_gfx, nullptr);
    GfxContext* ctx = zq_hGetContext();
    ctx->last_x = 1.5f, ctx->last_y = 2.5f;
    zq_GfxLine(nullptr, 0, 0, 10, 10, kGreen, 0, 0xFFFF, 0);
    zq_GfxLine(nullptr, 0, 0, 10, 10, kGreen, 2, 0xFFFF, 0);
    zq_hGfxBox(0, 0, 10, 10, kGreen, 1, 0xFFFF);
    zq_GfxView(0, 0, 10, 10, kGreen, kGreen, 0);
    zq_GfxPalette(1, 2, 3, 4);
    zq_GfxPalette(-1, 0, 0, 0);
    zq_hRestorePalette();
    EXPECT_EQ((std::vector{zq_GfxClear(0), zq_GfxIn(0x3DA), zq_GfxIn(0x3C9), zq_GfxOut(0x3C8, 0)}),
              (std::vector{0, -1, -1, -1}));
    EXPECT_EQ(std::pair(ctx->last_x, ctx->last_y), std::pair(1.5f, 2.5f));
}

}  // namespace
