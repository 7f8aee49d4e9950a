// Reading on the graphics screen: text cells read back, the raw string reader
// with its block cursor, and line input. Keys come from a scripted getkey hook.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/gfx_internal.h"
#include "gfx_test_util.h"
#include "text_screen.h"

namespace {
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

class TextInput : public NullScreenTest {
   protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        zq_Cls(0);
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

TEST(ReadXY, ColoursPackedByDepth) {
    // {mode, depth, fg, bg, flag, result}
    const int32_t cases[][6] = {{18, 8, 15, 1, 1, 15 + 1 * 256},
                                {12, 4, 15, 1, 1, 15 + 1 * 16},
                                {18, 32, 0x123456, 0xABCDEF, 2, 0xABCDEF},
                                {18, 32, 0x123456, 0xABCDEF, 1, 0x123456},
                                {18, 32, 0x123456, 0xABCDEF, 0, 'A'}};
    for (const auto& [mode, depth, fg, bg, flag, want] : cases) {
        SCOPED_TRACE(testing::Message() << depth << " bits, flag " << flag);
        ASSERT_EQ(zq_GfxScreen(mode, depth, 1, DriverFlags::NoDisplay, 0), 0);
        zq_GfxColor(fg, bg, 0);
        print("A");
        EXPECT_EQ(zq_GfxReadXY(1, 1, flag), want);
        for (auto [col, row] :
             {std::pair(0, 1), std::pair(81, 1), std::pair(1, 0), std::pair(1, 31)})
            EXPECT_EQ(zq_GfxReadXY(col, row, 0), 0) << col << "," << row;
        zq_GfxScreen(0, 0, 0, 0, 0);
    }
    EXPECT_EQ(zq_GfxReadXY(1, 1, 0), 0);  // no screen
}

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
    zq_GfxScreen(0, 0, 0, 0, 0);
    EXPECT_EQ(zq_GfxReadStr(buffer, 4), nullptr);
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

// A line that wraps at the bottom of the screen scrolls it; editing at its
// start redraws it across the row end. A line that fills the bottom row
// exactly leaves the next character for the row after.
TEST_F(TextInput, LineEditingAtTheBottom) {
    struct Case {
        int start_col;
        std::initializer_list<int32_t> keys;  // after "0123456789"
        std::string result;
        int col, row;  // where the result starts on screen afterwards
    } const cases[] = {
        {75, {kHome, 'X', 13}, "X0123456789", 74, 28},
        {71, {kLeft, kEnd, 'Z', 13}, "0123456789Z", 70, 28},
        {71, {kHome, kDel, 13}, "123456789", 70, 29},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        zq_Cls(0);
        zq_GfxLocate(30, c.start_col, 0);
        pending_keys.clear();
        keys("0123456789");
        keys(c.keys);
        char line[32];
        EXPECT_EQ(zq_GfxLineInput(nullptr, line, 32, 0, 0, 0), 0);
        EXPECT_EQ(std::string(line), c.result);
        TextModel m;
        m.put(c.col, c.row, c.result);
        EXPECT_TRUE(shows(m));
    }
}

// A line longer than the text view: its start scrolls out above it, and an
// edit there redraws what is left in view in the right columns.
TEST_F(TextInput, LineLongerThanTheView) {
    zq_ConsoleView(1, 3);
    std::string typed;
    for (int i = 0; i < 300; ++i) typed += static_cast<char>('a' + i % 26);
    keys(typed);
    keys({kHome, 'H', kEnd, 'E', 13});
    char line[310];
    EXPECT_EQ(zq_GfxLineInput(prompt("Name: "), line, 310, 0, 0, 0), 0);
    EXPECT_EQ(std::string(line), "H" + typed + "E");
    const std::string shown = "Name: H" + typed + "E";
    TextModel m;
    for (int row = 0; row < 3; ++row) m.put(0, row, shown.substr(80 * (row + 1), 80));
    EXPECT_TRUE(shows(m));
    zq_ConsoleView(0, 0);
}
}  // namespace

// A screen too small for a text cell echoes nothing, and the cursor stays put.
TEST(ReadStrNoGrid, CursorStaysOnTheScreen) {
    ASSERT_EQ(zq_GfxScreenRes(4, 4, 8, 1, DriverFlags::NoDisplay, 0), 0);
    for (int32_t key : {int32_t{'a'}, 8, 8, 13}) zq_hPostKey(key);
    char buffer[8];
    EXPECT_STREQ(zq_GfxReadStr(buffer, 8), "\r");
    EXPECT_EQ(zq_GfxGetX(), 1);
    EXPECT_EQ(zq_GfxGetY(), 1);
    zq_GfxScreen(0, 0, 0, DriverFlags::Closing, 0);
}
