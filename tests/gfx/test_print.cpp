// Text on the graphics screen: the cells and every pixel after known text, the
// cursor, scrolling, the pending line, the grid and colours; cells read back,
// the raw string reader and line input with keys from a scripted getkey hook.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/gfx_internal.h"
#include "gfx_test_util.h"

namespace {
// The whole grid of the open screen, blank in the context's colours; put()
// writes text from (col, row) on, wrapping, in the current or given colours.
struct TextModel {
    int cols = __zq_gfx->text_cols, rows = __zq_gfx->text_rows;
    std::vector<CharCell> cells = std::vector<CharCell>(
        static_cast<size_t>(cols * rows),
        CharCell{' ', zq_hGetContext()->fg_color, zq_hGetContext()->bg_color});

    void put(int col, int row, std::string_view text, uint32_t fg = zq_hGetContext()->fg_color,
             uint32_t bg = zq_hGetContext()->bg_color) {
        for (size_t i = 0; i < text.size(); ++i)
            cells.at(row * cols + col + i) = CharCell{static_cast<uint8_t>(text[i]), fg, bg};
    }
};

// The cells, then each cell's pixels: the glyph's set bits in its foreground,
// the rest in its background.
testing::AssertionResult shows(const TextModel& m) {
    const GfxState& s = *__zq_gfx;
    const CharCell* cells = s.char_cells[zq_hGetContext()->work_page];
    const FontDesc& f = *s.font;
    for (int i = 0; i < m.cols * m.rows; ++i) {
        const CharCell &want = m.cells[i], &got = cells[i];
        if (got.ch != want.ch || got.fg != want.fg || got.bg != want.bg)
            return testing::AssertionFailure()
                   << "cell " << i << ": " << got.ch << std::hex << " " << got.fg << "/" << got.bg
                   << " instead of " << want.ch << " " << want.fg << "/" << want.bg;
        for (int p = 0; p < f.height * f.width; ++p) {
            const int x = p % f.width, y = p / f.width;
            const uint32_t color = (f.data[want.ch * f.height + y] >> x) & 1 ? want.fg : want.bg;
            uint32_t pixel = 0;
            std::memcpy(&pixel,
                        s.framebuffer + ((i / m.cols) * f.height + y) * s.pitch +
                            ((i % m.cols) * f.width + x) * s.bpp,
                        static_cast<size_t>(s.bpp));
            if (pixel != color)
                return testing::AssertionFailure() << "cell " << i << " pixel " << p;
        }
    }
    return testing::AssertionSuccess();
}

void print(std::string_view text) {
    zq_PrintBufferEx(text.data(), static_cast<int32_t>(text.size()), 0);
}
std::pair<int, int> text_cursor() {
    return {__zq_gfx->cursor_x, __zq_gfx->cursor_y};
}
bool line_pending() {
    return (__zq_gfx->flags & SCREEN_TEXT_PENDING) != 0;
}

// 640 x 480, 32 bits, the 8 x 16 font: 80 x 30 cells.
class Print : public NullScreenTest {
   protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        zq_Cls(0);
    }
};

// Small grids at the other depths and font sizes; a tab, glyphs 11 and 12, a
// coloured character read back, a wrapping line, scrolling and a pending line.
TEST(PrintSmall, DepthsAndFonts) {
    // {width, height, depth, rows (> 0: zq_GfxWidth(0, rows) picks the font), font height,
    // fg and bg arguments, stored fg and bg, the argument that gives the default fg back,
    // the colours read back}
    // clang-format off
    const int32_t cases[][11] = {
        {160, 64, 8, 0, 8, 0x10C, 0x101, 12, 1, 15, 12 + 1 * 256}, {160, 64, 4, 0, 8, 12, 1, 12, 1, 15, 12 + 1 * 16},
        {160, 64, 16, 0, 8, 0xFF0000, 0x0000FF, 0xF800, 0x001F, 0xFFFFFF, 0xF800},
        {160, 112, 16, 8, 14, 0x00FF00, 0, 0x07E0, 0, 0xFFFFFF, 0x07E0},
        {160, 128, 8, 8, 16, 200, 100, 200, 100, 15, 200 + 100 * 256}};
    // clang-format on
    for (const auto& [w, h, depth, rows, font_height, fg_arg, bg_arg, fg, bg, white, read] :
         cases) {
        SCOPED_TRACE(testing::Message() << depth << " bits, font height " << font_height);
        ASSERT_EQ(zq_GfxScreenRes(w, h, depth, 1, DriverFlags::NoDisplay, 0), 0);
        if (rows) zq_GfxWidth(0, rows);
        zq_Cls(0);
        ASSERT_EQ((std::vector{__zq_gfx->font->height, __zq_gfx->text_cols, __zq_gfx->text_rows}),
                  (std::vector{font_height, 20, 8}));
        print("Hi\tAB\n");
        zq_GfxColor(fg_arg, bg_arg, 0);
        print("C");
        zq_GfxColor(1, 2, 0x3);                              // both omitted: nothing changes
        EXPECT_EQ(zq_GfxColor(white, 0, 0), bg << 16 | fg);  // the old pair
        print("olour\nabcdefghijklmnopqrstuvwxyz0123\nL1\nL2\nL3\n");
        print("0123456789ABCDEFGH\x0b\x0c");  // fills the bottom row: "Z" scrolls it up
        print("Z");

        EXPECT_EQ(zq_GfxReadXY(1, 1, 1), read);
        EXPECT_EQ(zq_GfxReadXY(1, 1, 2), depth > 8 ? bg : read);
        for (auto [col, row] :
             {std::pair(0, 1), std::pair(21, 1), std::pair(1, 0), std::pair(1, 9)})
            EXPECT_EQ(zq_GfxReadXY(col, row, 0), 0) << col << "," << row;
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

TEST_F(Print, PendingLineScrollsOnTheNextPrintLocateEndsItRawLocateDoesNot) {
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
    print("!\n\n");  // two rows at the end of a print
    print("\n\n?");  // two rows before a write
    for (int row = 4; row < 6; ++row) m.put(0, row, row_label(row + 4), 0xFFFFFFFF, 0xFF000000);
    m.put(3, 5, "!", 0xFFFFFFFF, 0x00112233);
    for (int row = 6; row < 10; ++row) m.put(0, row, std::string(80, ' '), 0xFFFFFFFF, 0x00112233);
    m.put(0, 9, "?", 0xFFFFFFFF, 0x00112233);
    EXPECT_TRUE(shows(m));
    EXPECT_EQ(text_cursor(), std::pair(1, 9));
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

constexpr int32_t kLeft = 0x4BFF, kRight = 0x4DFF, kHome = 0x47FF, kEnd = 0x4FFF, kDel = 0x53FF,
                  kIns = 0x52FF, kUp = 0x48FF;

std::deque<int32_t> pending_keys;
std::vector<int32_t> under_cursor;  // the character under the cursor at each key read

// Out of keys, it answers 0 like the key read does once the screen is gone.
int32_t scripted_getkey() {
    under_cursor.push_back(zq_GfxReadXY(__zq_gfx->cursor_x + 1, __zq_gfx->cursor_y + 1, 0));
    if (pending_keys.empty()) return 0;
    int32_t k = pending_keys.front();
    pending_keys.pop_front();
    return k;
}

class TextInput : public Print {
   protected:
    void SetUp() override {
        Print::SetUp();
        __zq_ctx.hooks.hook_getkey = scripted_getkey;
        pending_keys.clear();
        under_cursor.clear();
    }
    static void keys(const std::string& typed) {
        for (char c : typed) pending_keys.push_back(static_cast<uint8_t>(c));
    }
    static void keys(std::initializer_list<int32_t> codes) {
        pending_keys.insert(pending_keys.end(), codes);
    }
    static ZqString* prompt(std::string_view text) {
        ZqString* p = zq_StrAllocTemp(static_cast<int32_t>(text.size()));
        std::memcpy(p->data, text.data(), text.size());
        return p;
    }
};

// Typing past the bottom-right corner scrolls, and a backspace there goes back
// across the row end. The block is under the cursor whenever a key is awaited.
TEST_F(TextInput, ReadStrStoresUntilEnterOrFull) {
    struct Case {
        int max_len, col, row;  // the row shown afterwards, from column col of row
        std::vector<int32_t> keys;
        std::string stored, shown;
    } const cases[] = {
        {4, 0, 0, {'a', 'b', 'c', 'd', 13}, "abc", "abc\xDB"},  // full: the block stays
        {4, 0, 0, {'a', 13}, "a\r", "a"},
        {8, 0, 0, {8, kUp, 7, 'a', 'b', 8, 'c', 13}, "ac\r", "ac"},
        {16, 78, 28, {'a', 'b', 'c', 8, 8, 'X', 13}, "aX\r", "aX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        zq_Cls(0);
        if (c.row) zq_GfxLocate(30, 79, 0);
        pending_keys.assign(c.keys.begin(), c.keys.end());
        under_cursor.clear();
        char buffer[16] = "xxxxxxxxxxxxxxx";
        EXPECT_EQ(zq_GfxReadStr(buffer, c.max_len), buffer);
        EXPECT_EQ(std::string(buffer), c.stored);
        TextModel m;
        m.put(c.col, c.row, c.shown);
        EXPECT_TRUE(shows(m));
        for (int32_t ch : under_cursor) EXPECT_EQ(ch, 0xDB);
    }
    char buffer[4];
    EXPECT_EQ(zq_GfxReadStr(buffer, 0), nullptr);  // no room even for the end
    // A screen too small for a text cell echoes nothing, and the cursor stays put.
    ASSERT_EQ(zq_GfxScreenRes(4, 4, 8, 1, DriverFlags::NoDisplay, 0), 0);
    for (int32_t key : {int32_t{'a'}, 8, 8, 13}) zq_hPostKey(key);  // the new screen's own keys
    EXPECT_STREQ(zq_GfxReadStr(buffer, 4), "\r");
    EXPECT_EQ(std::pair(zq_GfxGetX(), zq_GfxGetY()), std::pair(1, 1));
    zq_GfxScreen(0, 0, 0, 0, 0);
    EXPECT_EQ(zq_GfxReadStr(buffer, 4), nullptr);
    EXPECT_EQ(zq_GfxReadXY(1, 1, 0), 0);
    ASSERT_EQ(open_screen(), 0);
}

// Editing keys, the prompt, and the destinations: a string, fixed and wide buffers.
TEST_F(TextInput, LineInputEditsAndStores) {
    keys({'a', 'b', 'X', 'c', 'd', kLeft, kLeft, 8, kHome, kDel, 'A', kEnd, 'e', kIns, kHome});
    keys({'Z', kRight, kRight, kRight, kRight, kRight, kRight, '!', 13});  // Z overwrites
    ZqString dst{};
    EXPECT_EQ(__zq_ctx.hooks.hook_line_input(prompt("Name"), &dst, -1, 0, 1, 1), 0);
    EXPECT_EQ(std::string(dst.data, dst.len), "Zbcde!");
    EXPECT_EQ(__zq_ctx.temp_strings, 0);
    zq_StrDelete(&dst);
    EXPECT_EQ(text_cursor(), std::pair(0, 1));  // the line end after the input

    keys("hi\r");
    char fixed[6] = "xxxxx";
    EXPECT_EQ(zq_GfxLineInput(nullptr, fixed, 6, 1, 1, 0), 0);  // no prompt: no "? " either
    EXPECT_EQ(std::string(fixed, 6), std::string("hi\0\0\0\0", 6));

    keys("\xE9tat\r");
    char16_t wide[4] = {1, 1, 1, 1};
    EXPECT_EQ(zq_GfxLineInputWstr(u"Q", wide, 4, 1, 0), 0);
    EXPECT_EQ(std::u16string(wide), std::u16string(u"\u00e9ta"));  // cut to the buffer

    // Out of keys: no line, error 4, but the line end still comes.
    char none[4] = "abc";
    EXPECT_EQ(zq_GfxLineInput(nullptr, none, 4, 0, 0, 1), 4);
    EXPECT_EQ(zq_ErrorGetNum(), 4);
    EXPECT_STREQ(none, "abc");

    TextModel m;
    m.put(0, 0, "Name? Zbcde!");
    m.put(0, 1, "hiQ? \xE9tat");
    EXPECT_TRUE(shows(m));
    EXPECT_EQ(text_cursor(), std::pair(0, 2));
}

// A line that wraps at the bottom of the view scrolls it; editing at its start
// redraws it across the row ends. A line that fills the bottom row exactly
// leaves the next character for the row after. A line longer than the view:
// its start scrolls out above, and an edit there redraws what is left in view.
TEST_F(TextInput, LineEditingAtTheBottom) {
    std::string az;  // 300 characters
    for (int i = 0; i < 300; ++i) az += static_cast<char>('a' + i % 26);
    struct Case {
        int bottom, row, col;  // the view's last row, the start cell
        std::string prompt, typed;
        std::initializer_list<int32_t> keys;
        std::string result;
        int cut, shown_col, shown_row;  // prompt and result on screen, less the cut scrolled out
    } const cases[] = {
        {30, 30, 75, "", "0123456789", {kHome, 'X', 13}, "X0123456789", 0, 74, 28},
        {30, 30, 71, "", "0123456789", {kLeft, kEnd, 'Z', 13}, "0123456789Z", 0, 70, 28},
        {30, 30, 71, "", "0123456789", {kHome, kDel, 13}, "123456789", 0, 70, 29},
        {3, 1, 1, "Name: ", az, {kHome, 'H', kEnd, 'E', 13}, "H" + az + "E", 80, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        zq_ConsoleView(1, c.bottom);
        zq_Cls(0);
        zq_GfxLocate(c.row, c.col, 0);
        pending_keys.clear();
        keys(c.typed);
        keys(c.keys);
        char line[310];
        EXPECT_EQ(
            zq_GfxLineInput(c.prompt.empty() ? nullptr : prompt(c.prompt), line, 310, 0, 0, 0), 0);
        EXPECT_EQ(std::string(line), c.result);
        TextModel m;
        m.put(c.shown_col, c.shown_row, (c.prompt + c.result).substr(c.cut));
        EXPECT_TRUE(shows(m));
    }
}
}  // namespace
