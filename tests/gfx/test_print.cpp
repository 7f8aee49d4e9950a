// Printing on the graphics screen: what the framebuffer and the text cells
// show after known text, the cursor after each control character, scrolling,
// the pending line, the text grid and the text colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/gfx_internal.h"
#include "gfx_test_util.h"
#include "text_screen.h"

namespace {
// 640 x 480, 32 bits, the 8 x 16 font: 80 x 30 cells.
class Print : public NullScreenTest {
   protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        zq_Cls(0);
    }
};

// Small grids at the other depths and font sizes; a tab, glyphs 11 and 12, a
// coloured character, a wrapping line, scrolling and a pending line.
TEST(PrintSmall, DepthsAndFonts) {
    // {width, height, depth, rows (> 0: zq_GfxWidth(0, rows) picks the font), font height,
    // fg and bg arguments, stored fg and bg, the argument that gives the default fg back}
    // clang-format off
    const int32_t cases[][10] = {
        {160, 64, 8, 0, 8, 12, 1, 12, 1, 15}, {160, 64, 4, 0, 8, 12, 1, 12, 1, 15},
        {160, 64, 16, 0, 8, 0xFF0000, 0x0000FF, 0xF800, 0x001F, 0xFFFFFF},
        {160, 112, 16, 8, 14, 0x00FF00, 0, 0x07E0, 0, 0xFFFFFF},
        {160, 128, 8, 8, 16, 200, 100, 200, 100, 15}};
    // clang-format on
    for (const auto& [w, h, depth, rows, font_height, fg_arg, bg_arg, fg, bg, white] : cases) {
        SCOPED_TRACE(testing::Message() << depth << " bits, font height " << font_height);
        ASSERT_EQ(zq_GfxScreenRes(w, h, depth, 1, DriverFlags::NoDisplay, 0), 0);
        if (rows) zq_GfxWidth(0, rows);
        zq_Cls(0);
        ASSERT_EQ((std::vector{__zq_gfx->font->height, __zq_gfx->text_cols, __zq_gfx->text_rows}),
                  (std::vector{font_height, 20, 8}));
        print("Hi\tAB\n");
        zq_GfxColor(fg_arg, bg_arg, 0);
        print("C");
        zq_GfxColor(white, 0, 0);
        print("olour\nabcdefghijklmnopqrstuvwxyz0123\nL1\nL2\nL3\n");
        print("0123456789ABCDEFGH\x0b\x0c");  // fills the bottom row
        EXPECT_TRUE(line_pending());
        EXPECT_EQ(text_cursor(), std::pair(19, 7));
        print("Z");

        TextModel m;
        m.put(0, 0, "C", uint32_t(fg), uint32_t(bg));
        m.put(1, 0, "olour");
        m.put(0, 1, "abcdefghijklmnopqrstuvwxyz0123");
        for (int i = 1; i <= 3; ++i) m.put(0, 2 + i, "L" + std::to_string(i));
        m.put(0, 6, "0123456789ABCDEFGH\x0b\x0c");
        m.put(0, 7, "Z");
        EXPECT_TRUE(shows(m));
        EXPECT_EQ(text_cursor(), std::pair(1, 7));
        zq_GfxScreen(0, 0, 0, 0, 0);
    }
}

// The cursor after control characters and wrapping, from a start cell.
TEST_F(Print, CursorAfterControlCharacters) {
    struct Case {
        int x, y;
        std::string text;
        int end_x, end_y;
        bool pending;
    } const cases[] = {
        {0, 0, "ab\nc", 1, 1, false},
        {0, 0, "\b", 0, 0, false},  // no move to the row above
        {5, 3, "\b\b", 3, 3, false},
        {3, 0, "\t", 8, 0, false},
        {8, 0, "\t", 16, 0, false},
        {79, 0, "ab", 1, 1, false},
        {0, 29, std::string(80, 'x'), 79, 29, true},
        {0, 29, "\n", 0, 29, false},
        {0, 29, std::string(80, 'x') + "\r", 79, 29, true},  // moves nothing: no scroll
        {0, 28, "\n" + std::string(80, 'x') + "\r\b", 79, 29, true},
        {75, 29, "\t", 79, 29, true},  // a tab can fill the bottom row too
        {200, 3, "x", 1, 4, false},    // a column past the edge starts the next row
        {0, 500, "x", 1, 29, false},   // a row far below scrolls everything out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " from " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        zq_GfxLocate(1, 1, 0);
        zq_GfxLocateRaw(c.y, c.x, 0);
        print(c.text);
        EXPECT_EQ(text_cursor(), std::pair(c.end_x, c.end_y));
        EXPECT_EQ(line_pending(), c.pending);
    }
}

TEST_F(Print, PendingLineScrollsOnTheNextPrintOnly) {
    zq_GfxLocate(30, 1, 0);
    print(std::string(80, 'x'));
    std::memset(__zq_gfx->dirty, 0, 480);
    print("");  // no text, no mask: nothing at all
    EXPECT_TRUE(line_pending());
    zq_PrintBufferEx(nullptr, 0, 0x8);  // applies it
    EXPECT_FALSE(line_pending());
    EXPECT_EQ(text_cursor(), std::pair(0, 29));
    print("x");
    TextModel scrolled;
    scrolled.put(0, 28, std::string(80, 'x'));
    scrolled.put(0, 29, "x");
    EXPECT_TRUE(shows(scrolled));
    // One print's scroll marks the whole view once.
    for (int y = 0; y < 480; ++y) EXPECT_EQ(__zq_gfx->dirty[y], 1) << y;
}

TEST_F(Print, LocateEndsThePendingLineRawLocateDoesNot) {
    for (bool raw : {false, true}) {
        zq_GfxLocate(30, 1, 0);
        print(std::string(79, 'x') + "y");
        if (raw) {
            zq_GfxLocateRaw(-1, -1, 0);
        } else {
            zq_GfxLocate(0, 0, 0);
        }
        print("z");
        EXPECT_EQ(__zq_ctx.hooks.hook_read_xy(80, 30, 0), raw ? ' ' : 'z');
        EXPECT_EQ(__zq_ctx.hooks.hook_read_xy(1, 30, 0), raw ? 'z' : 'x');
        zq_Cls(0);
    }
    EXPECT_EQ(zq_GfxLocate(3, 5, 0), 0x0305);
    EXPECT_EQ(zq_GfxLocate(0, 7, 0), 0x0307);  // row kept
    EXPECT_EQ(zq_GfxLocateRaw(-1, 1, 0), 0x0201);
}

// Only the rows of the text view move; the rows around it keep their text.
TEST_F(Print, ScrollStaysInsideTheTextView) {
    auto row_label = [](int row) { return (row < 10 ? "R0" : "R") + std::to_string(row); };
    TextModel m;
    for (int row = 0; row < 30; ++row) {
        zq_GfxLocate(row + 1, 1, 0);
        print(row_label(row));
        m.put(0, row, row_label(row));
    }
    zq_GfxColor(0, 0x00112233, 0x1);  // fg kept: the cleared row takes the new background
    zq_ConsoleView(5, 10);
    zq_GfxLocate(10, 4, 0);
    print("!\n");
    for (int row = 4; row < 9; ++row) m.put(0, row, row_label(row + 1), 0xFFFFFFFF, 0xFF000000);
    m.put(3, 8, "!", 0xFFFFFFFF, 0x00112233);
    m.put(0, 9, std::string(80, ' '), 0xFFFFFFFF, 0x00112233);
    EXPECT_TRUE(shows(m));
    EXPECT_EQ(text_cursor(), std::pair(0, 9));
}

TEST_F(Print, WideTextBecomesBytes) {
    const char16_t text[] = {u'A', 0xD83D, 0xDE00, u'B', 0x263A, 0xE9, 0};
    zq_PrintBufferWstrEx(text, 6, 0);
    TextModel m;
    m.put(0, 0, "A?B?\xE9");
    EXPECT_TRUE(shows(m));
    EXPECT_EQ(text_cursor(), std::pair(5, 0));
}

TEST(PrintWidth, ChoosesTheFontByCellSize) {
    ASSERT_EQ(zq_GfxScreenRes(640, 400, 8, 1, DriverFlags::NoDisplay, 0), 0);  // 8 x 8: 80 x 50
    print("x");
    // {cols, rows, result, font height, text columns, text rows}
    const int32_t cases[][6] = {{80, 25, (50 << 16) | 80, 16, 80, 25},
                                {40, 25, (25 << 16) | 80, 16, 80, 25},  // 16-pixel cells: refused
                                {0, 28, (25 << 16) | 80, 14, 80, 28},
                                {0, 30, (28 << 16) | 80, 14, 80, 28},  // 13-pixel cells: refused
                                {0, 0, (28 << 16) | 80, 14, 80, 28}};
    for (const auto& [cols, rows, result, font_height, text_cols, text_rows] : cases) {
        EXPECT_EQ(zq_GfxWidth(cols, rows), result) << cols << " x " << rows;
        EXPECT_EQ((std::vector{__zq_gfx->font->height, __zq_gfx->text_cols, __zq_gfx->text_rows}),
                  (std::vector{font_height, text_cols, text_rows}))
            << cols << " x " << rows;
    }
    // The new grid starts cleared, its view covering every row.
    EXPECT_TRUE(shows(TextModel{}));
    EXPECT_EQ(zq_ConsoleGetBotRow(), 27);
    zq_GfxScreen(0, 0, 0, 0, 0);
}

TEST(PrintColor, StoredByDepthAndMode) {
    // {mode, depth, fg, bg, stored fg, stored bg}; the other depths' colours are
    // checked in the cells of the small grids above.
    const int32_t cases[][6] = {{13, 8, 0x1FF, 0x102, 0xFF, 0x02},
                                {7, 4, 0x1F, 3, 0xF, 0}};  // bg goes to palette entry 0
    for (const auto& [mode, depth, fg, bg, want_fg, want_bg] : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        ASSERT_EQ(zq_GfxScreen(mode, depth, 1, DriverFlags::NoDisplay, 0), 0);
        GfxContext* ctx = zq_hGetContext();
        const auto old = static_cast<int32_t>((ctx->bg_color << 16) | ctx->fg_color);
        EXPECT_EQ(zq_GfxColor(fg, bg, 0), old);
        EXPECT_EQ(std::pair(ctx->fg_color, ctx->bg_color),
                  std::pair(uint32_t(want_fg), uint32_t(want_bg)));
        EXPECT_EQ(zq_GfxColor(1, 2, 0x3),
                  static_cast<int32_t>((ctx->bg_color << 16) | ctx->fg_color));
        EXPECT_EQ(ctx->fg_color, uint32_t(want_fg));  // both omitted
        zq_GfxScreen(0, 0, 0, 0, 0);
    }
}
}  // namespace
