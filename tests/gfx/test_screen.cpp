// Opening and closing screens: the driver attempt order, modes and depths,
// buffers, hooks and the window title (exit_order has the exit handler).
#include <string>
#include <vector>

#include "gfx_test_util.h"

namespace {

struct DriverLog {
    std::vector<std::string> inits, exits, titles;  // inits: "GDI/60/0" for driver/rate/flags
    int32_t w = 0, h = 0, depth = 0;                // and title of the last init
    std::string title, succeed;                     // succeed: the driver whose init works
    bool only_rate_zero = false;
};
DriverLog log_;

using Strings = std::vector<std::string>;
using Ints = std::vector<int32_t>;
constexpr const char* kNames[] = {"DirectX", "GDI", "OpenGL"};
constexpr int32_t kNone = DriverFlags::NoDisplay;

std::string attempt(const char* name, int32_t rate, int32_t flags) {
    return std::string(name) + "/" + std::to_string(rate) + "/" + std::to_string(flags);
}

template <int I>
constexpr GfxDriver fake_driver() {
    auto init = [](const char* title, int32_t w, int32_t h, int32_t depth, int32_t rate,
                   int32_t flags) {
        log_.inits.push_back(attempt(kNames[I], rate, flags));
        log_.w = w, log_.h = h, log_.depth = depth, log_.title = title ? title : "";
        return log_.succeed == kNames[I] && !(log_.only_rate_zero && rate != 0) ? 0 : -1;
    };
    auto exit = [] { log_.exits.push_back(kNames[I]); };
    auto nothing = [] {};
    auto title = [](const char* t) { log_.titles.push_back(t); };
    return {kNames[I], init,    exit,  nothing, nothing, nullptr, nullptr,
            nullptr,   nullptr, title, nullptr, nullptr, nullptr, nullptr};
}

const GfxDriver fake_drivers[] = {fake_driver<0>(), fake_driver<1>(), fake_driver<2>()};
const GfxDriver* fake_list[] = {&fake_drivers[0], &fake_drivers[1], &fake_drivers[2], nullptr};

// Each test starts with the fake driver list, no driver name and no "ZQGFX".
class ScreenTest : public ::testing::Test {
   protected:
    void SetUp() override {
        saved_list_ = __zq_gfx_drivers_list;
        __zq_gfx_drivers_list = fake_list;
        reset();
    }
    void TearDown() override {
        reset();
        __zq_gfx_drivers_list = saved_list_;
    }
    static void reset() {
        zq_GfxScreen(0, 0, 0, 0, 0);
        __zq_gfx_driver_name = nullptr;
        set_env("ZQGFX", nullptr);
        log_ = DriverLog{};
    }
    static bool hooks_clear() {
        ConsoleHooks none{};
        return std::memcmp(&__zq_ctx.hooks, &none, sizeof none) == 0;
    }
    const GfxDriver** saved_list_ = nullptr;
};

Strings every_driver_twice(int32_t rate, int32_t flags, Strings before = {}) {
    for (const char* name : kNames) {
        before.push_back(attempt(name, rate, flags));
        before.push_back(attempt(name, 0, flags));
    }
    return before;
}
Strings operator+(Strings a, const Strings& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(ScreenTest, DriversAreTriedInOrder) {
    const struct {
        const char *name, *env;
        int32_t flags, rate;
        const char* succeed;
        bool only_rate_zero;  // the succeeding driver fails at other rates
        const char* opened;   // the driver in use after, "" if none
        Strings expected;
    } cases[] = {
        // Without a name every driver twice, then again with Fullscreen toggled.
        {nullptr, nullptr, 0x20, 60, "", false, "",
         every_driver_twice(60, 0x21, every_driver_twice(60, 0x20))},
        // A name in any case first, then all; the same again toggled.
        {"gdi", nullptr, 1, 75, "", false, "",
         every_driver_twice(
             75, 0,
             every_driver_twice(75, 1, {"GDI/75/1", "GDI/0/1"}) + Strings{"GDI/75/1", "GDI/0/1"})},
        {nullptr, "oPENgl", 0, 60, "OpenGL", true, "OpenGL", {"OpenGL/60/0", "OpenGL/0/0"}},
        {"GDI", "OpenGL", 0, 0, "GDI", false, "GDI", {"GDI/0/0"}},  // the program's name wins
        {nullptr, nullptr, 0, 0, "GDI", false, "GDI", {"DirectX/0/0", "DirectX/0/0", "GDI/0/0"}},
        {"NULL", nullptr, 0, 60, "", false, "Null", {}},
        {nullptr, nullptr, kNone, 60, "", false, "Null", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        reset();
        __zq_gfx_driver_name = c.name;
        set_env("ZQGFX", c.env);
        log_.succeed = c.succeed;
        log_.only_rate_zero = c.only_rate_zero;
        const bool opens = *c.opened != '\0';
        zq_ErrorSetNum(0);
        EXPECT_EQ(zq_GfxScreen(13, 0, 1, c.flags, c.rate), opens ? 0 : 1);
        EXPECT_EQ(zq_ErrorGetNum(), opens ? 0 : 1);
        EXPECT_EQ(log_.inits, c.expected);
        EXPECT_STREQ(__zq_gfx ? __zq_gfx->driver->name : "", c.opened);
        EXPECT_EQ(hooks_clear(), !opens);
        // Every init, failed or closed later, is followed by exactly one exit.
        zq_GfxScreen(0, 0, 0, 0, 0);
        EXPECT_EQ(log_.exits.size(), log_.inits.size());
    }
}

// Each screen has its mode's shape (3 to 6 do not exist), the depth normalised,
// buffers of its size, and a fresh context: full view, default colours.
TEST_F(ScreenTest, ModesDepthsBuffersAndAFreshContext) {
    // Mode, width, height, depth, line repeat, palette colours, font height, text grid.
    const Ints modes[] = {
        {1, 320, 200, 2, 1, 16, 8, 40, 25},      {8, 640, 200, 4, 2, 16, 8, 80, 25},
        {9, 640, 350, 4, 1, 64, 14, 80, 25},     {10, 640, 350, 1, 1, 2, 14, 80, 25},
        {12, 640, 480, 4, 1, 256, 16, 80, 30},   {15, 400, 300, 8, 1, 256, 8, 50, 37},
        {21, 1280, 1024, 8, 1, 256, 16, 160, 64}};
    for (int32_t mode : {3, 6, 22, -1}) EXPECT_EQ(zq_GfxScreen(mode, 0, 1, kNone, 0), 1) << mode;
    for (const Ints& m : modes) {
        ASSERT_EQ(zq_GfxScreen(m[0], 0, 1, kNone, 0), 0) << m[0];
        const GfxState& s = *__zq_gfx;
        EXPECT_EQ((Ints{s.mode_number, s.width, s.height, s.depth, s.line_repeat,
                        s.default_palette->colors, s.font->height, s.text_cols, s.text_rows}),
                  m);
    }
    const struct {
        int32_t mode, depth, flags, want_depth, bpp;  // flags: -1 NoDisplay, 2 OpenGL
        uint32_t fg, bg;
    } cases[] = {{18, 24, -1, 32, 4, 0xFFFFFFFF, 0xFF000000},
                 {18, 15, -1, 16, 2, 0xFFFF, 0},
                 {18, 12, -1, 8, 1, 15, 0},
                 {13, 32, -1, 8, 1, 15, 0},
                 {1, 32, -1, 2, 1, 3, 0},
                 {2, 0, -1, 1, 1, 1, 0},
                 {12, 8, -1, 4, 1, 15, 0},
                 {13, 0, 2, 16, 2, 0xFFFF, 0}};
    log_.succeed = "OpenGL";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " depth " << c.depth);
        GfxContext& ctx = *zq_hGetContext();
        ctx.view_x = 20, ctx.last_x = 7, ctx.flags |= CTX_VIEW_ON;
        ASSERT_EQ(zq_GfxScreen(c.mode, c.depth, 1, c.flags, 0), 0);
        const GfxState& s = *__zq_gfx;
        EXPECT_EQ((Ints{s.depth, s.bpp, s.pitch}), (Ints{c.want_depth, c.bpp, s.width * c.bpp}));
        EXPECT_EQ(s.color_mask, c.want_depth == 32 ? 0xFFFFFFFF : (1u << c.want_depth) - 1);
        EXPECT_EQ((s.flags & SCREEN_OPENGL) != 0, c.flags == DriverFlags::OpenGL);
        EXPECT_EQ((Ints{ctx.view_x, ctx.view_y, ctx.view_w, ctx.view_h}),
                  (Ints{0, 0, s.width, s.height}));
        EXPECT_EQ(std::tuple(ctx.fg_color, ctx.bg_color, ctx.last_x, ctx.flags),
                  std::tuple(c.fg, c.bg, 0.0f, 0u));
        EXPECT_EQ(ctx.line[s.height - 1], s.pages[0] + (s.height - 1) * s.pitch);
    }
    EXPECT_EQ(log_.depth, 16);
    // The last byte of the page and of each buffer is there and zero-filled
    // (the sanitizer build checks the sizes); 0 pages become 1.
    ASSERT_EQ(zq_GfxScreen(18, 32, 0, kNone, 0), 0);
    GfxState& s = *__zq_gfx;
    EXPECT_EQ((Ints{s.width, s.height, s.pitch, s.page_count, s.text_cols, s.text_rows}),
              (Ints{640, 480, 2560, 1, 80, 30}));
    EXPECT_EQ(std::pair(s.framebuffer, s.font), std::pair(s.pages[0], &zq_font_8x16));
    EXPECT_EQ(s.pages[0][640 * 480 * 4 - 1] | s.dirty[479] | s.key_state[127], 0);
    EXPECT_EQ(s.palette[255] | s.device_palette[255], 0u);
    s.color_association[15] = 1;
    s.event_queue[ZQ_EVENT_SLOTS - 1].data[3] = 1;
    __zq_color_conv_16to32[511] = 1;
    // Mode 2: the driver shows 400 lines and each of them has a dirty flag.
    log_.succeed = "GDI";
    ASSERT_EQ(zq_GfxScreen(2, 0, 1, 0, 0), 0);
    EXPECT_EQ((Ints{log_.w, log_.h, __zq_gfx->height, __zq_gfx->line_repeat, __zq_gfx->dirty[399]}),
              (Ints{640, 400, 200, 2, 0}));
}

TEST_F(ScreenTest, InvalidRequestsChangeNothingOversizedOnesCloseTheScreen) {
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, kNone, 0), 0);
    GfxState* before = __zq_gfx;
    const int32_t id = before->id;
    for (const Ints& r :
         {Ints{64, 64, 0}, {64, 64, 3}, {64, 64, 12}, {64, 64, 64}, {0, 64, 8}, {64, -1, 8}}) {
        EXPECT_EQ(zq_GfxScreenRes(r[0], r[1], r[2], 1, kNone, 0), 1);
    }
    EXPECT_EQ(std::tuple(zq_ErrorGetNum(), __zq_gfx, __zq_gfx->id, log_.inits.size()),
              std::tuple(1, before, id, 0u));
    ASSERT_EQ(zq_GfxScreenRes(100, 50, 8, 1, kNone, 0), 0);
    EXPECT_EQ((Ints{__zq_gfx->mode_number, __zq_gfx->text_cols, __zq_gfx->text_rows}),
              (Ints{-1, 12, 6}));
    EXPECT_EQ(__zq_gfx->font, &zq_font_8x8);
    // Sizes beyond ModeInfo's 16-bit fields and 8-bit text grid are kept whole.
    ASSERT_EQ(zq_GfxScreenRes(70000, 2, 24, 1, kNone, 0), 0);
    EXPECT_EQ((Ints{__zq_gfx->width, __zq_gfx->text_cols}), (Ints{70000, 8750}));
    for (const Ints& z : {Ints{INT32_MAX, INT32_MAX, 8},
                          {46341, 46341, 8},
                          {INT32_MAX, 1, 32},
                          {1, INT32_MAX, 8},
                          {40000, 20000, 32}}) {
        SCOPED_TRACE(testing::Message() << z[0] << " x " << z[1]);
        ASSERT_EQ(zq_GfxScreen(13, 0, 1, kNone, 0), 0);
        zq_ErrorSetNum(0);
        EXPECT_EQ(zq_GfxScreenRes(z[0], z[1], z[2], 1, kNone, 0), 1);
        EXPECT_EQ(zq_ErrorGetNum(), 1);
        EXPECT_TRUE(__zq_gfx == nullptr && __zq_color_conv_16to32 == nullptr && hooks_clear());
    }
}

// While a screen is open the hooks point at the graphics library.
TEST_F(ScreenTest, HooksAndTheWindowTitle) {
    log_.succeed = "GDI";
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    auto* slots = reinterpret_cast<void* const*>(&__zq_ctx.hooks);
    for (int i = 0; i < ZQ_HOOK_COUNT; ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
    int32_t cols = 0, rows = 0;
    zq_GetSize(&cols, &rows);  // the runtime's entry points now reach the screen
    EXPECT_EQ((Ints{cols, rows}), (Ints{40, 25}));
    // A title is cut to 127 characters, its string released, and kept for later screens.
    const int32_t temps = __zq_ctx.temp_strings;
    ZqString* longer = zq_StrAllocTemp(200);
    std::memset(longer->data, 'T', 200);
    EXPECT_EQ(zq_GfxSetWindowTitle(longer), 0);
    EXPECT_EQ(std::pair(__zq_ctx.temp_strings, log_.titles),
              std::pair(temps, Strings{std::string(127, 'T')}));
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, 0, 0), 0);
    EXPECT_EQ(log_.exits.size(), log_.inits.size() - 1);  // the first screen was closed
    EXPECT_EQ(log_.title, std::string(127, 'T'));
    zq_GfxSetWindowTitle(zq_CHR(2, 'h', 'i'));
    EXPECT_STREQ(__zq_window_title, "hi");
    ASSERT_EQ(zq_GfxScreen(0, 0, 0, 0, 0), 0);
    EXPECT_TRUE(hooks_clear());
}

TEST_F(ScreenTest, ClearCharCellsStaysInsideTheGrid) {
    ASSERT_EQ(zq_GfxScreenRes(64, 32, 8, 1, kNone, 0), 0);  // 8 x 4 cells
    zq_hClearCharCells(2, 1, 5, 3, 0, 'A', 7, 9);
    std::string grid;
    for (int i = 0; i < 32; ++i) grid += static_cast<char>(__zq_gfx->char_cells[0][i].ch);
    EXPECT_EQ(grid, std::string(8, ' ') + "  AAA   " + "  AAA   " + std::string(8, ' '));
    // Rectangles reaching outside the grid or naming a missing page stay inside.
    zq_hClearCharCells(-5, -5, 100, 100, 0, 'B', 0, 0);
    zq_hClearCharCells(0, 0, 8, 4, 1, 'C', 0, 0);
    EXPECT_EQ(std::pair(__zq_gfx->char_cells[0][31].ch, __zq_gfx->char_cells[0][0].ch),
              std::pair(uint16_t{'B'}, uint16_t{'B'}));
}

}  // namespace
