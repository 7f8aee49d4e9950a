// Opening and closing screens: modes and depths, buffers, the driver attempt
// order, hooks, the window title and the exit handler.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/gfx_internal.h"
#include "gfx_test_util.h"

namespace {

// ---- Recording fake drivers ----

struct InitCall {
    std::string driver;
    int32_t w, h, depth, rate, flags;
    std::string title;
};

struct DriverLog {
    std::vector<InitCall> inits;
    std::vector<std::string> exits;
    std::vector<std::string> titles;
    bool echo_exits = false;  // also write each exit to stderr
    std::string succeed;      // name of the driver whose init succeeds
    int32_t succeed_on = 0;   // 0: every attempt, 1: only the second (rate 0) attempt
};
DriverLog log_;

constexpr const char* kNames[] = {"DirectX", "GDI", "OpenGL"};

template <int I>
int32_t fake_init(const char* title, int32_t w, int32_t h, int32_t depth, int32_t rate,
                  int32_t flags) {
    log_.inits.push_back({kNames[I], w, h, depth, rate, flags, title ? title : ""});
    if (log_.succeed != kNames[I]) return -1;
    return log_.succeed_on == 1 && rate != 0 ? -1 : 0;
}

template <int I>
void fake_exit() {
    log_.exits.push_back(kNames[I]);
    if (log_.echo_exits) std::fprintf(stderr, "exit %s\n", kNames[I]);
}

void fake_nothing() {}
void fake_title(const char* title) {
    log_.titles.push_back(title);
}

template <int I>
constexpr GfxDriver fake_driver() {
    return {kNames[I], fake_init<I>, fake_exit<I>, fake_nothing, fake_nothing, nullptr, nullptr,
            nullptr,   nullptr,      fake_title,   nullptr,      nullptr,      nullptr, nullptr};
}

const GfxDriver fake_directx = fake_driver<0>();
const GfxDriver fake_gdi = fake_driver<1>();
const GfxDriver fake_opengl = fake_driver<2>();
const GfxDriver* fake_list[] = {&fake_directx, &fake_gdi, &fake_opengl, nullptr};

// Each test starts with the fake driver list, no driver name and no "ZQGFX".
class ScreenTest : public ::testing::Test {
   protected:
    void SetUp() override {
        saved_list_ = __zq_gfx_drivers_list;
        __zq_gfx_drivers_list = fake_list;
        __zq_gfx_driver_name = nullptr;
        set_env("ZQGFX", nullptr);
        log_ = DriverLog{};
    }
    void TearDown() override {
        zq_GfxScreen(0, 0, 0, 0, 0);
        __zq_gfx_drivers_list = saved_list_;
        __zq_gfx_driver_name = nullptr;
        set_env("ZQGFX", nullptr);
    }

    // "GDI/60/0" per init call: driver, rate, flags.
    static std::vector<std::string> attempts() {
        std::vector<std::string> out;
        for (const InitCall& c : log_.inits) {
            out.push_back(c.driver + "/" + std::to_string(c.rate) + "/" + std::to_string(c.flags));
        }
        return out;
    }

    static bool hooks_clear() {
        ConsoleHooks none{};
        return std::memcmp(&__zq_ctx.hooks, &none, sizeof none) == 0;
    }

    const GfxDriver** saved_list_ = nullptr;
};

std::vector<std::string> every_driver_twice(int32_t rate, int32_t flags) {
    std::vector<std::string> out;
    for (const char* name : kNames) {
        out.push_back(std::string(name) + "/" + std::to_string(rate) + "/" + std::to_string(flags));
        out.push_back(std::string(name) + "/0/" + std::to_string(flags));
    }
    return out;
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// ---- Driver choice ----

TEST_F(ScreenTest, WithoutNameEveryDriverTwiceThenAgainWithFullscreenToggled) {
    EXPECT_EQ(zq_GfxScreen(18, 32, 1, DriverFlags::Topmost, 60), 1);
    EXPECT_EQ(zq_ErrorGetNum(), 1);
    EXPECT_EQ(attempts(), concat({every_driver_twice(60, 0x20), every_driver_twice(60, 0x21)}));
    // Every failed init is followed by the driver's exit.
    EXPECT_EQ(log_.exits.size(), 12u);
    EXPECT_EQ(__zq_gfx, nullptr);
    EXPECT_TRUE(hooks_clear());
}

TEST_F(ScreenTest, NamedDriverFirstThenAllThenNamedAgainThenAllToggled) {
    __zq_gfx_driver_name = "gdi";
    EXPECT_EQ(zq_GfxScreen(18, 32, 1, DriverFlags::Fullscreen, 75), 1);
    std::vector<std::string> gdi = {"GDI/75/1", "GDI/0/1"};
    EXPECT_EQ(attempts(), concat({gdi, every_driver_twice(75, 1), gdi, every_driver_twice(75, 0)}));
}

TEST_F(ScreenTest, EnvironmentNameInAnyCaseIsTriedFirst) {
    set_env("ZQGFX", "oPENgl");
    log_.succeed = "OpenGL";
    log_.succeed_on = 1;
    ASSERT_EQ(zq_GfxScreen(18, 32, 1, 0, 60), 0);
    EXPECT_EQ(attempts(), (std::vector<std::string>{"OpenGL/60/0", "OpenGL/0/0"}));
    EXPECT_EQ(log_.exits, std::vector<std::string>{"OpenGL"});
    EXPECT_EQ(__zq_gfx->driver, &fake_opengl);
}

TEST_F(ScreenTest, ProgramNameTakesPrecedenceOverEnvironment) {
    set_env("ZQGFX", "OpenGL");
    __zq_gfx_driver_name = "GDI";
    log_.succeed = "GDI";
    ASSERT_EQ(zq_GfxScreen(18, 32, 1, 0, 0), 0);
    EXPECT_EQ(attempts(), std::vector<std::string>{"GDI/0/0"});
}

TEST_F(ScreenTest, FirstWorkingDriverOfTheListIsTaken) {
    log_.succeed = "GDI";
    ASSERT_EQ(zq_GfxScreen(2, 0, 1, DriverFlags::Shaped, 0), 0);
    EXPECT_EQ(attempts(), (std::vector<std::string>{"DirectX/0/28", "DirectX/0/28", "GDI/0/28"}));
    const InitCall& gdi = log_.inits.back();
    // Mode 2 repeats each of its 200 lines: the driver shows 400.
    EXPECT_EQ(gdi.w, 640);
    EXPECT_EQ(gdi.h, 400);
    EXPECT_EQ(gdi.depth, 1);
    EXPECT_EQ(__zq_gfx->driver, &fake_gdi);
}

TEST_F(ScreenTest, NullNameOrNoDisplayFlagsTakeTheNullDriverWithoutInit) {
    __zq_gfx_driver_name = "NULL";
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    EXPECT_EQ(__zq_gfx->driver, &__zq_gfxDriverNull);
    __zq_gfx_driver_name = nullptr;
    set_env("ZQGFX", "null");
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    EXPECT_EQ(__zq_gfx->driver, &__zq_gfxDriverNull);
    set_env("ZQGFX", nullptr);
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    EXPECT_EQ(__zq_gfx->driver, &__zq_gfxDriverNull);
    EXPECT_TRUE(log_.inits.empty());
    EXPECT_TRUE(log_.exits.empty());
}

TEST_F(ScreenTest, ClosingCallsTheDriverExitOnce) {
    log_.succeed = "DirectX";
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    ASSERT_TRUE(log_.exits.empty());
    // Opening another screen closes this one first.
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    EXPECT_EQ(log_.exits, std::vector<std::string>{"DirectX"});
    ASSERT_EQ(zq_GfxScreen(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(log_.exits.size(), 2u);
    EXPECT_EQ(__zq_gfx, nullptr);
}

TEST_F(ScreenTest, FailedOpenClosesThePreviousScreen) {
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    EXPECT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 1);
    EXPECT_EQ(__zq_gfx, nullptr);
    EXPECT_EQ(__zq_color_conv_16to32, nullptr);
    EXPECT_TRUE(hooks_clear());
}

// ---- Modes, depths and buffers ----

struct DepthCase {
    int32_t mode, requested, depth, bpp;
    uint32_t color_mask;
};

TEST_F(ScreenTest, DepthFollowsModeRequestAndNormalisation) {
    const DepthCase cases[] = {
        {18, 32, 32, 4, 0xFFFFFFFF},
        {18, 24, 32, 4, 0xFFFFFFFF},
        {18, 16, 16, 2, 0xFFFF},
        {18, 15, 16, 2, 0xFFFF},
        {18, 12, 8, 1, 0xFF},
        {18, 0, 8, 1, 0xFF},
        {13, 32, 8, 1, 0xFF},
        {14, 16, 16, 2, 0xFFFF},
        {1, 32, 2, 1, 3},
        {2, 0, 1, 1, 1},
        {12, 8, 4, 1, 0xF},
        {21, 8, 8, 1, 0xFF},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " depth " << c.requested);
        ASSERT_EQ(zq_GfxScreen(c.mode, c.requested, 1, DriverFlags::NoDisplay, 0), 0);
        EXPECT_EQ(__zq_gfx->depth, c.depth);
        EXPECT_EQ(__zq_gfx->bpp, c.bpp);
        EXPECT_EQ(__zq_gfx->color_mask, c.color_mask);
        EXPECT_EQ(__zq_gfx->pitch, __zq_gfx->width * c.bpp);
    }
}

TEST_F(ScreenTest, OpenGLFlagRaisesDepthToSixteen) {
    log_.succeed = "OpenGL";
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::OpenGL, 0), 0);
    EXPECT_EQ(__zq_gfx->depth, 16);
    EXPECT_EQ(log_.inits.back().depth, 16);
    EXPECT_TRUE(__zq_gfx->flags & SCREEN_OPENGL);
    // With NoDisplay no flag bit means anything.
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    EXPECT_EQ(__zq_gfx->depth, 8);
    EXPECT_FALSE(__zq_gfx->flags & (SCREEN_OPENGL | SCREEN_ALPHA_PRIMITIVES));
}

TEST_F(ScreenTest, DemoScreenHasItsBuffers) {
    ASSERT_EQ(zq_GfxScreen(18, 32, 0, DriverFlags::NoDisplay, 0), 0);
    GfxState& s = *__zq_gfx;
    EXPECT_EQ(s.mode_number, 18);
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.height, 480);
    EXPECT_EQ(s.pitch, 2560);
    EXPECT_EQ(s.page_count, 1);  // 0 pages become 1
    EXPECT_EQ(s.framebuffer, s.pages[0]);
    EXPECT_EQ(s.line_repeat, 1);
    EXPECT_EQ(s.font, &zq_font_8x16);
    EXPECT_EQ(s.default_palette, &zq_palette_256);
    EXPECT_EQ(s.text_cols, 80);
    EXPECT_EQ(s.text_rows, 30);
    EXPECT_EQ(s.cursor_x, 0);
    EXPECT_EQ(s.cursor_y, 0);
    // The last byte of the page and of each buffer is there and zero-filled
    // (the sanitizer build checks the sizes).
    EXPECT_EQ(s.pages[0][640 * 480 * 4 - 1], 0);
    EXPECT_EQ(s.dirty[479], 0);
    EXPECT_EQ(s.key_state[127], 0);
    EXPECT_EQ(s.palette[255], 0u);
    EXPECT_EQ(s.device_palette[255], 0u);
    s.color_association[15] = 1;
    s.event_queue[2559] = 1;
    __zq_color_conv_16to32[511] = 1;
    EXPECT_NE(s.event_mutex, nullptr);
    EXPECT_NE(s.char_cells, nullptr);
}

TEST_F(ScreenTest, ModeTwoKeepsADirtyFlagPerDisplayLine) {
    ASSERT_EQ(zq_GfxScreen(2, 0, 1, DriverFlags::NoDisplay, 0), 0);
    EXPECT_EQ(__zq_gfx->height, 200);
    EXPECT_EQ(__zq_gfx->line_repeat, 2);
    EXPECT_EQ(__zq_gfx->dirty[399], 0);
}

TEST_F(ScreenTest, InvalidModesChangeNothing) {
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    GfxState* before = __zq_gfx;
    int32_t id = before->id;
    for (int32_t mode : {3, 4, 5, 6, 22, -1, 1000}) {
        zq_ErrorSetNum(0);
        EXPECT_EQ(zq_GfxScreen(mode, 8, 1, DriverFlags::NoDisplay, 0), 1) << mode;
        EXPECT_EQ(zq_ErrorGetNum(), 1);
        EXPECT_EQ(__zq_gfx, before);
        EXPECT_EQ(__zq_gfx->id, id);
    }
    for (int32_t depth : {0, 3, 12, 64, -8}) {
        EXPECT_EQ(zq_GfxScreenRes(64, 64, depth, 1, DriverFlags::NoDisplay, 0), 1) << depth;
    }
    EXPECT_EQ(zq_GfxScreenRes(0, 64, 8, 1, DriverFlags::NoDisplay, 0), 1);
    EXPECT_EQ(zq_GfxScreenRes(64, -1, 8, 1, DriverFlags::NoDisplay, 0), 1);
    EXPECT_EQ(__zq_gfx, before);
    EXPECT_TRUE(log_.inits.empty());
}

TEST_F(ScreenTest, ScreenResBuildsItsOwnMode) {
    ASSERT_EQ(zq_GfxScreenRes(100, 50, 8, 1, DriverFlags::NoDisplay, 0), 0);
    GfxState& s = *__zq_gfx;
    EXPECT_EQ(s.mode_number, -1);
    EXPECT_EQ(s.width, 100);
    EXPECT_EQ(s.height, 50);
    EXPECT_EQ(s.text_cols, 12);
    EXPECT_EQ(s.text_rows, 6);
    EXPECT_EQ(s.font, &zq_font_8x8);
    EXPECT_EQ(s.default_palette, &zq_palette_256);
    // Sizes beyond ModeInfo's 16-bit fields and 8-bit text grid are kept whole.
    ASSERT_EQ(zq_GfxScreenRes(70000, 2, 24, 1, DriverFlags::NoDisplay, 0), 0);
    EXPECT_EQ(__zq_gfx->width, 70000);
    EXPECT_EQ(__zq_gfx->depth, 32);
    EXPECT_EQ(__zq_gfx->text_cols, 8750);
}

TEST_F(ScreenTest, OversizedScreenFailsWithoutScreen) {
    struct Size {
        int32_t w, h, depth;
    };
    const Size sizes[] = {{100000, 100000, 32}, {INT32_MAX, INT32_MAX, 8}, {46341, 46341, 8},
                          {INT32_MAX, 1, 32},   {1, INT32_MAX, 8},         {40000, 20000, 32}};
    for (const Size& z : sizes) {
        SCOPED_TRACE(testing::Message() << z.w << " x " << z.h);
        ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
        EXPECT_EQ(zq_GfxScreenRes(z.w, z.h, z.depth, 1, DriverFlags::NoDisplay, 0), 1);
        EXPECT_EQ(__zq_gfx, nullptr);
        EXPECT_TRUE(hooks_clear());
    }
}

// ---- Hooks, title, vertical sync ----

TEST_F(ScreenTest, HooksPointAtTheGraphicsLibraryWhileOpen) {
    ASSERT_TRUE(hooks_clear());
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    const ConsoleHooks& h = __zq_ctx.hooks;
    EXPECT_EQ(h.hook_inkey, zq_GfxInkey);
    EXPECT_EQ(h.hook_cls, zq_GfxClear);
    EXPECT_EQ(h.hook_color, zq_GfxColor);
    EXPECT_EQ(h.hook_getsize, zq_GfxGetSize);
    EXPECT_EQ(h.hook_print_buffer_wstr, zq_GfxPrintBufferWstrEx);
    EXPECT_EQ(h.hook_in, zq_GfxIn);
    EXPECT_EQ(h.hook_out, zq_GfxOut);
    EXPECT_EQ(h.hook_view_update, zq_GfxViewUpdate);
    EXPECT_EQ(h.hook_is_redir, zq_GfxIsRedir);
    auto* slots = reinterpret_cast<void* const*>(&h);
    for (int i = 0; i < ZQ_HOOK_COUNT; ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
    // The runtime's entry points now reach the screen.
    int32_t cols = 0, rows = 0;
    zq_GetSize(&cols, &rows);
    EXPECT_EQ(cols, 40);
    EXPECT_EQ(rows, 25);
    ASSERT_EQ(zq_GfxScreen(0, 0, 0, 0, 0), 0);
    EXPECT_TRUE(hooks_clear());
}

TEST_F(ScreenTest, OpeningPutsTheCursorHomeAndResetsThePrintColumn) {
    __zq_ctx.files[0].print_col = 17;
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    EXPECT_EQ(__zq_ctx.files[0].print_col, 0);
    EXPECT_EQ(zq_GfxGetX(), 1);
    EXPECT_EQ(zq_GfxGetY(), 1);
    EXPECT_EQ(zq_ConsoleGetTopRow(), 0);
    EXPECT_EQ(zq_ConsoleGetBotRow(), 24);
}

TEST_F(ScreenTest, DefaultTitleIsTheProgramNameWithoutExtension) {
    __zq_window_title = nullptr;
    log_.succeed = "GDI";
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    // The test program is test_gfx (test_gfx.exe on Windows).
    std::string title = __zq_window_title;
    EXPECT_EQ(title.rfind("test_gfx", 0), 0u) << title;
    EXPECT_EQ(title.find('.'), std::string::npos) << title;
    EXPECT_EQ(log_.inits.back().title, title);
}

TEST_F(ScreenTest, WindowTitleIsCutKeptAndPassedToTheDriver) {
    log_.succeed = "GDI";
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    int32_t temps = __zq_ctx.temp_strings;
    ZqString* title = zq_StrAllocTemp(200);
    std::memset(title->data, 'T', 200);
    EXPECT_EQ(zq_GfxSetWindowTitle(title), 0);
    EXPECT_EQ(__zq_ctx.temp_strings, temps);  // released
    EXPECT_EQ(std::strlen(__zq_window_title), 127u);
    ASSERT_EQ(log_.titles.size(), 1u);
    EXPECT_EQ(log_.titles[0], std::string(127, 'T'));
    // A later screen keeps the title.
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    EXPECT_EQ(log_.inits.back().title, std::string(127, 'T'));
    ZqString* shorter = zq_CHR(2, 'h', 'i');
    zq_GfxSetWindowTitle(shorter);
    EXPECT_STREQ(__zq_window_title, "hi");
}

TEST_F(ScreenTest, WaitVSyncNeedsAScreen) {
    zq_ErrorSetNum(0);
    EXPECT_EQ(zq_GfxWaitVSync(), 1);
    EXPECT_EQ(zq_ErrorGetNum(), 1);
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    EXPECT_EQ(zq_GfxWaitVSync(), 0);  // the Null driver has no wait
}

// ---- The minimal hook functions on the Null driver ----

using ScreenHooksTest = NullScreenTest;

TEST_F(ScreenHooksTest, CursorAndTextSize) {
    EXPECT_EQ(zq_GfxLocate(3, 5, 0), 0x0305);
    EXPECT_EQ(zq_GfxGetX(), 5);
    EXPECT_EQ(zq_GfxGetY(), 3);
    EXPECT_EQ(__zq_ctx.files[0].print_col, 4);
    EXPECT_EQ(zq_GfxLocate(0, 7, 0), 0x0307);  // row 0 keeps the row
    int32_t cols = 0, rows = 0;
    zq_GfxGetXY(&cols, nullptr);
    EXPECT_EQ(cols, 7);
    zq_GfxGetSize(nullptr, &rows);
    zq_GfxGetSize(&cols, nullptr);
    EXPECT_EQ(cols, 80);
    EXPECT_EQ(rows, 30);
    EXPECT_EQ(zq_GfxWidth(0, 0), (30 << 16) | 80);
}

TEST_F(ScreenHooksTest, ColourStatementConvertsToTheTarget) {
    // 32 bits: stored as given, the result packs the old colours.
    EXPECT_EQ(zq_GfxColor(0x00FF8000, 0x00000010, 0), static_cast<int32_t>(0xFFFFFFFFu));
    EXPECT_EQ(context().fg_color, 0x00FF8000u);
    EXPECT_EQ(context().bg_color, 0x00000010u);
    zq_GfxColor(1, 0x22, 2);  // background omitted
    EXPECT_EQ(context().fg_color, 1u);
    EXPECT_EQ(context().bg_color, 0x10u);
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    zq_GfxColor(0x1FF, 0x102, 0);
    EXPECT_EQ(context().fg_color, 0xFFu);
    EXPECT_EQ(context().bg_color, 0x02u);
    ASSERT_EQ(zq_GfxScreen(18, 16, 1, DriverFlags::NoDisplay, 0), 0);
    zq_GfxColor(0x00FF8000, 0, 0);
    EXPECT_EQ(context().fg_color, 0xFC00u);
}

TEST_F(ScreenHooksTest, NullDriverHasNoMouseAndNoKeys) {
    int32_t x = 5, y = 5, wheel = 5, buttons = 5;
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, &wheel, &buttons), 1);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(buttons, -1);
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, nullptr, nullptr), 1);
    EXPECT_EQ(zq_GfxSetMouse(-1, -1, 0), 1);
    screen().key_state[0x48] = 1;
    EXPECT_EQ(zq_GfxMultikey(0x48), -1);
    EXPECT_EQ(zq_GfxMultikey(0x49), 0);
    EXPECT_EQ(zq_GfxMultikey(128), 0);
    EXPECT_EQ(zq_GfxMultikey(-1), 0);
    EXPECT_EQ(screen().flags & (SCREEN_LOCKED | SCREEN_LOCK_SET), 0u);
    ZqString* key = zq_Inkey();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->len, 0);
    zq_StrDelTemp(key);
}

// ---- Exit handler ----

// A death test runs the program in a second process; under Wine that takes
// minutes, and the exit path is the same code on both platforms.
#ifndef _WIN32
using ScreenDeathTest = ScreenTest;

TEST_F(ScreenDeathTest, ExitClosesTheOpenScreen) {
    auto program = [] {
        log_.succeed = "DirectX";
        log_.echo_exits = true;
        if (zq_GfxScreen(13, 0, 1, 0, 0) != 0) std::_Exit(3);
        zq_GfxScreen(0, 0, 0, 0, 0);
        if (zq_GfxScreen(18, 32, 1, 0, 0) != 0) std::_Exit(3);
        zq_End(0);
    };
    // One exit for the explicit close, one from the exit handler.
    EXPECT_EXIT(program(), testing::ExitedWithCode(0), "^exit DirectX\nexit DirectX\n$");
}
#endif

// ---- Text cells ----

TEST_F(ScreenTest, TextCellsStartAsSpacesInTheContextColours) {
    ASSERT_EQ(zq_GfxScreenRes(64, 32, 32, 2, DriverFlags::NoDisplay, 0), 0);
    const CharCell& first = __zq_gfx->char_cells[0][0];
    const CharCell& last = __zq_gfx->char_cells[0][8 * 4 - 1];
    EXPECT_EQ(first.ch, 32);
    EXPECT_EQ(first.fg, 0xFFFFFFFFu);
    EXPECT_EQ(first.bg, 0xFF000000u);
    EXPECT_EQ(last.ch, 32);
    EXPECT_EQ(__zq_gfx->char_cells[1][0].ch, 0);  // only the work page is filled
}

TEST_F(ScreenTest, ClearCharCellsFillsTheRectangleOnly) {
    ASSERT_EQ(zq_GfxScreenRes(64, 32, 8, 1, DriverFlags::NoDisplay, 0), 0);  // 8 x 4 cells
    zq_hClearCharCells(2, 1, 5, 3, 0, 'A', 7, 9);
    std::string grid;
    for (int i = 0; i < 32; ++i) grid += static_cast<char>(__zq_gfx->char_cells[0][i].ch);
    EXPECT_EQ(grid, std::string(8, ' ') + "  AAA   " + "  AAA   " + std::string(8, ' '));
    EXPECT_EQ(__zq_gfx->char_cells[0][8 + 2].fg, 7u);
    EXPECT_EQ(__zq_gfx->char_cells[0][8 + 2].bg, 9u);
    // Rectangles reaching outside the grid or naming a missing page stay inside.
    zq_hClearCharCells(-5, -5, 100, 100, 0, 'B', 0, 0);
    EXPECT_EQ(__zq_gfx->char_cells[0][31].ch, 'B');
    zq_hClearCharCells(0, 0, 8, 4, 1, 'C', 0, 0);
    EXPECT_EQ(__zq_gfx->char_cells[0][0].ch, 'B');
}

TEST_F(ScreenTest, ResetCharCellsWithoutAllocationLeavesNone) {
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    zq_hResetCharCells(zq_hGetContext(), 0);
    EXPECT_EQ(__zq_gfx->char_cells, nullptr);
    zq_hResetCharCells(zq_hGetContext(), 1);
    ASSERT_NE(__zq_gfx->char_cells, nullptr);
    EXPECT_EQ(__zq_gfx->char_cells[0][0].fg, 15u);
}

}  // namespace
