// The one graphics screen: opening and closing it, the mode table, the window
// title and the text cells.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gfx/gfx_internal.h"

GfxState* __zq_gfx = nullptr;
const char* __zq_window_title = nullptr;
const char* __zq_gfx_driver_name = nullptr;
uint32_t* __zq_color_conv_16to32 = nullptr;

namespace {
int32_t screen_id = 1;
char window_title_buff[128];
bool exit_proc_set = false;

constexpr int32_t kModeCount = 21;
constexpr int32_t kTitleMax = 127;
constexpr size_t kPaletteBytes = 256 * sizeof(uint32_t);
constexpr size_t kColorConvBytes = 2048;

constexpr ModeInfo mode_info[kModeCount] = {
    {320, 200, 2, 1, &zq_palette_16, &zq_font_8x8, 40, 25},
    {640, 200, 1, 2, &zq_palette_16, &zq_font_8x8, 80, 25},
    {0, 0, 0, 0, nullptr, nullptr, 0, 0},
    {0, 0, 0, 0, nullptr, nullptr, 0, 0},
    {0, 0, 0, 0, nullptr, nullptr, 0, 0},
    {0, 0, 0, 0, nullptr, nullptr, 0, 0},
    {320, 200, 4, 1, &zq_palette_16, &zq_font_8x8, 40, 25},
    {640, 200, 4, 2, &zq_palette_16, &zq_font_8x8, 80, 25},
    {640, 350, 4, 1, &zq_palette_64, &zq_font_8x14, 80, 25},
    {640, 350, 1, 1, &zq_palette_2, &zq_font_8x14, 80, 25},
    {640, 480, 1, 1, &zq_palette_2, &zq_font_8x16, 80, 30},
    {640, 480, 4, 1, &zq_palette_256, &zq_font_8x16, 80, 30},
    {320, 200, 8, 1, &zq_palette_256, &zq_font_8x8, 40, 25},
    {320, 240, 8, 1, &zq_palette_256, &zq_font_8x8, 40, 30},
    {400, 300, 8, 1, &zq_palette_256, &zq_font_8x8, 50, 37},
    {512, 384, 8, 1, &zq_palette_256, &zq_font_8x16, 64, 24},
    {640, 400, 8, 1, &zq_palette_256, &zq_font_8x16, 80, 25},
    {640, 480, 8, 1, &zq_palette_256, &zq_font_8x16, 80, 30},
    {800, 600, 8, 1, &zq_palette_256, &zq_font_8x16, 100, 37},
    {1024, 768, 8, 1, &zq_palette_256, &zq_font_8x16, 128, 48},
    {1280, 1024, 8, 1, &zq_palette_256, &zq_font_8x16, 160, 64},
};

// A mode row with 32-bit fields: a size given to zq_GfxScreenRes need not fit
// the 16-bit sizes and 8-bit text grid of ModeInfo.
struct ScreenShape {
    int32_t width, height, depth, line_repeat;
    const PaletteDesc* palette;
    const FontDesc* font;
    int32_t text_cols, text_rows;
};

ScreenShape shape_of(const ModeInfo& m) {
    return {m.width, m.height, m.depth, m.line_repeat, m.palette, m.font, m.text_cols, m.text_rows};
}

constexpr ConsoleHooks gfx_hooks = {
    zq_GfxInkey,
    zq_GfxGetkey,
    zq_GfxKeyHit,
    zq_GfxClear,
    zq_GfxColor,
    zq_GfxLocate,
    zq_GfxWidth,
    zq_GfxGetX,
    zq_GfxGetY,
    zq_GfxGetXY,
    zq_GfxGetSize,
    zq_GfxPrintBufferEx,
    zq_GfxPrintBufferWstrEx,
    zq_GfxReadStr,
    zq_GfxMultikey,
    zq_GfxGetMouse,
    zq_GfxSetMouse,
    zq_GfxIn,
    zq_GfxOut,
    zq_GfxViewUpdate,
    zq_GfxLineInput,
    zq_GfxLineInputWstr,
    zq_GfxReadXY,
    zq_GfxSleep,
    zq_GfxIsRedir,
};

// ---- Closing ----

void free_pages(GfxState* s) {
    if (!s->pages) return;
    for (int32_t i = 0; i < s->page_count; ++i) std::free(s->pages[i]);
    std::free(s->pages);
}

// Driver first: its thread may still read the buffers freed after it.
void release_screen() {
    GfxState* s = __zq_gfx;
    if (!s) return;
    if (s->driver && s->driver->exit) s->driver->exit();
    zq_hResetCharCells(nullptr, 0);
    free_pages(s);
    std::free(s->device_palette);
    std::free(s->palette);
    std::free(s->color_association);
    std::free(s->dirty);
    std::free(s->key_state);
    std::free(s->event_queue);
    if (s->event_mutex) zq_MutexDestroy(s->event_mutex);
    std::free(s);
    __zq_gfx = nullptr;
}

void close_to_console(int32_t flags) {
    __zq_ctx.hooks = ConsoleHooks{};
    if (flags != DriverFlags::Closing) {
        zq_Width(80, 25);
        zq_Cls(0);
    }
    zq_ConsoleSetTopBotRows(-1, -1);
}

int32_t set_mode(const ScreenShape* shape, int32_t mode, int32_t depth, int32_t num_pages,
                 int32_t refresh_rate, int32_t flags);

void exit_proc() {
    if (__zq_gfx) set_mode(nullptr, 0, 0, 0, 0, DriverFlags::Closing);
}

// A half-made screen is closed like at exit: the console is left alone.
int32_t fail_open() {
    set_mode(nullptr, 0, 0, 0, 0, DriverFlags::Closing);
    return zq_ErrorSetNum(1);
}

// ---- Depth and sizes ----

bool is_deep_request(int32_t depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

int32_t choose_depth(const ScreenShape& shape, int32_t mode, int32_t depth, int32_t flags) {
    int32_t d = (mode > 13 && is_deep_request(depth)) ? depth : shape.depth;
    if (flags >= 0 && (flags & DriverFlags::OpenGL) && d < 16) d = 16;
    return d;
}

void set_depth(GfxState* s, int32_t depth) {
    if (depth == 15 || depth == 16) {
        s->depth = 16;
        s->color_mask = 0xFFFF;
    } else if (depth == 24 || depth == 32) {
        s->depth = 32;
        s->color_mask = 0xFFFFFFFF;
    } else {
        s->depth = depth;
        s->color_mask = (1u << depth) - 1;
    }
    s->bpp = (s->depth + 7) / 8;
}

// Sizes whose page, line offsets or coordinates would not fit in 32 bits are
// refused rather than wrapped into a short allocation.
bool size_fits(const ScreenShape& shape, int32_t bpp) {
    if (shape.width > ZQ_COORD_LIMIT || shape.height > ZQ_COORD_LIMIT) return false;
    uint64_t pitch = static_cast<uint64_t>(shape.width) * static_cast<uint64_t>(bpp);
    uint64_t page = pitch * static_cast<uint64_t>(shape.height);
    uint64_t repeated =
        static_cast<uint64_t>(shape.height) * static_cast<uint64_t>(shape.line_repeat);
    return page <= INT32_MAX && repeated <= INT32_MAX;
}

// ---- Buffers ----

bool alloc_pages(GfxState* s, int32_t num_pages) {
    s->pages =
        static_cast<uint8_t**>(std::calloc(static_cast<size_t>(num_pages), sizeof(uint8_t*)));
    if (!s->pages) return false;
    s->page_count = num_pages;
    size_t bytes = static_cast<size_t>(s->height) * static_cast<size_t>(s->pitch);
    for (int32_t i = 0; i < num_pages; ++i) {
        s->pages[i] = static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
        if (!s->pages[i]) return false;
    }
    s->framebuffer = s->pages[0];
    return true;
}

bool alloc_buffers(GfxState* s) {
    size_t dirty = static_cast<size_t>(s->height) * static_cast<size_t>(s->line_repeat);
    s->dirty = static_cast<uint8_t*>(std::calloc(dirty, 1));
    s->device_palette = static_cast<uint32_t*>(std::calloc(kPaletteBytes, 1));
    s->palette = static_cast<uint32_t*>(std::calloc(kPaletteBytes, 1));
    s->color_association = static_cast<uint8_t*>(std::malloc(16));
    s->key_state = static_cast<uint8_t*>(std::calloc(128, 1));
    s->event_queue = static_cast<GfxEvent*>(std::calloc(ZQ_EVENT_SLOTS, sizeof(GfxEvent)));
    s->event_mutex = zq_MutexCreate();
    __zq_color_conv_16to32 = static_cast<uint32_t*>(std::malloc(kColorConvBytes));
    return s->dirty && s->device_palette && s->palette && s->color_association && s->key_state &&
           s->event_queue && s->event_mutex && __zq_color_conv_16to32;
}

// ---- Title and driver ----

void set_default_title() {
    if (__zq_window_title) return;
    char path[4096];
    const char* name = zq_hGetExeName(path, sizeof path);
    std::memset(window_title_buff, 0, sizeof window_title_buff);
    std::strncpy(window_title_buff, name, kTitleMax);
    char* dot = std::strrchr(window_title_buff, '.');
    if (dot) *dot = '\0';
    __zq_window_title = window_title_buff;
}

const char* preferred_driver() {
    const char* name = __zq_gfx_driver_name ? __zq_gfx_driver_name : std::getenv("ZQGFX");
    return name && *name ? name : nullptr;
}

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool same_name(const char* a, const char* b) {
    for (; *a && ascii_lower(*a) == ascii_lower(*b); ++a, ++b) {
    }
    return ascii_lower(*a) == ascii_lower(*b);
}

bool init_driver(const GfxDriver* d, const GfxState* s, int32_t rate, int32_t flags) {
    int32_t height = s->height * s->line_repeat;
    if (d->init && d->init(__zq_window_title, s->width, height, s->depth, rate, flags) == 0) {
        return true;
    }
    if (d->exit) d->exit();
    return false;
}

// Every driver gets two attempts in a row (the second at any refresh rate).
// A named driver is tried alone on even passes; Fullscreen toggles between
// passes as the attempt order requires.
const GfxDriver* start_driver(const GfxState* s, const char* name, int32_t rate, int32_t flags) {
    const GfxDriver** list = __zq_gfx_drivers_list;
    for (int32_t passes = name ? 4 : 2; passes > 0; --passes) {
        for (int32_t i = 0; list && list[i / 2]; ++i) {
            const GfxDriver* d = list[i / 2];
            bool attempt = !name || (passes & 1) || (d->name && same_name(d->name, name));
            if (attempt && init_driver(d, s, (i & 1) ? 0 : rate, flags)) return d;
        }
        if (!name || passes == 2) flags ^= DriverFlags::Fullscreen;
    }
    return nullptr;
}

const GfxDriver* choose_driver(const GfxState* s, int32_t rate, int32_t flags) {
    const char* name = preferred_driver();
    if (flags == DriverFlags::NoDisplay || (name && same_name(name, "null"))) {
        return &__zq_gfxDriverNull;
    }
    return start_driver(s, name, rate, flags);
}

// ---- Opening ----

void init_state(GfxState* s, const ScreenShape& shape, int32_t mode, int32_t depth) {
    s->id = screen_id++;
    s->mode_number = mode;
    s->width = shape.width;
    s->height = shape.height;
    s->default_palette = shape.palette;
    s->line_repeat = shape.line_repeat;
    s->font = shape.font;
    set_depth(s, depth);
}

void set_state_flags(GfxState* s, int32_t flags) {
    if (flags == DriverFlags::NoDisplay) return;
    if (flags & DriverFlags::AlphaDrawing) s->flags |= SCREEN_ALPHA_PRIMITIVES;
    if (flags & DriverFlags::OpenGL) s->flags |= SCREEN_OPENGL;
}

int32_t open_screen(const ScreenShape& shape, int32_t mode, int32_t depth, int32_t num_pages,
                    int32_t refresh_rate, int32_t flags) {
    __zq_ctx.hooks = gfx_hooks;
    auto* s = static_cast<GfxState*>(std::calloc(1, sizeof(GfxState)));
    __zq_gfx = s;
    if (!s) return fail_open();
    init_state(s, shape, mode, choose_depth(shape, mode, depth, flags));
    if (!size_fits(shape, s->bpp)) return fail_open();
    s->pitch = s->width * s->bpp;
    if (!alloc_pages(s, num_pages) || !alloc_buffers(s)) return fail_open();
    set_state_flags(s, flags);
    zq_hSetupFuncs(s->bpp);
    zq_hSetupData();
    set_default_title();
    s->driver = choose_driver(s, refresh_rate, flags);
    if (!s->driver) return fail_open();
    zq_GfxPalette(-1, 0, 0, 0);
    s->text_cols = shape.text_cols;
    s->text_rows = shape.text_rows;
    GfxContext* ctx = zq_hGetContext();
    if (!ctx || ctx->line_capacity < s->height) return fail_open();
    zq_hResetCharCells(ctx, 1);
    if (!s->char_cells) return fail_open();
    if (!exit_proc_set) {
        std::atexit(exit_proc);
        exit_proc_set = true;
    }
    return 0;
}

int32_t set_mode(const ScreenShape* shape, int32_t mode, int32_t depth, int32_t num_pages,
                 int32_t refresh_rate, int32_t flags) {
    if (num_pages < 1) num_pages = 1;
    if (flags >= 0 && (flags & DriverFlags::Shaped)) {
        flags |= DriverFlags::FixedMode | DriverFlags::Borderless;
    }
    release_screen();
    std::free(__zq_color_conv_16to32);
    __zq_color_conv_16to32 = nullptr;
    if (mode != 0 && shape && shape->width != 0) {
        int32_t r = open_screen(*shape, mode, depth, num_pages, refresh_rate, flags);
        if (r != 0) return r;
    } else {
        close_to_console(flags);
    }
    if (flags != DriverFlags::Closing) zq_ConsoleViewEx(0, 0, __zq_gfx != nullptr);
    return 0;
}

bool valid_res_depth(int32_t depth) {
    return depth == 1 || depth == 2 || depth == 4 || is_deep_request(depth);
}
}  // namespace

int32_t zq_GfxScreen(int32_t mode, int32_t depth, int32_t num_pages, int32_t flags,
                     int32_t refresh_rate) {
    if (mode < 0 || mode > kModeCount || (mode >= 3 && mode <= 6)) return zq_ErrorSetNum(1);
    ScreenShape shape{};
    if (mode > 0) shape = shape_of(mode_info[mode - 1]);
    int32_t r = set_mode(mode ? &shape : nullptr, mode, depth, num_pages, refresh_rate, flags);
    if (r == 0) zq_SetPos(0);
    return r;
}

int32_t zq_GfxScreenRes(int32_t w, int32_t h, int32_t depth, int32_t num_pages, int32_t flags,
                        int32_t refresh_rate) {
    if (w <= 0 || h <= 0 || !valid_res_depth(depth)) return zq_ErrorSetNum(1);
    ScreenShape shape{w, h, depth, 1, &zq_palette_256, &zq_font_8x8, w / 8, h / 8};
    int32_t r = set_mode(&shape, -1, depth, num_pages, refresh_rate, flags);
    if (r == 0) zq_SetPos(0);
    return r;
}

int32_t zq_GfxSetWindowTitle(ZqString* title) {
    std::memset(window_title_buff, 0, sizeof window_title_buff);
    if (title && title->data && title->len > 0) {
        size_t n = title->len < kTitleMax ? static_cast<size_t>(title->len) : kTitleMax;
        std::memcpy(window_title_buff, title->data, n);
    }
    __zq_window_title = window_title_buff;
    GfxState* s = __zq_gfx;
    if (s && s->driver && s->driver->set_window_title)
        s->driver->set_window_title(window_title_buff);
    zq_StrDelTemp(title);
    return 0;
}

// The graphics screen keeps no separate state for the text view.
void zq_GfxViewUpdate() {}

// ---- Text cells ----

void zq_hResetCharCells(GfxContext* ctx, int32_t allocate) {
    GfxState* s = __zq_gfx;
    if (!s) return;
    if (s->char_cells) {
        for (int32_t i = 0; i < s->page_count; ++i) std::free(s->char_cells[i]);
        std::free(s->char_cells);
        s->char_cells = nullptr;
    }
    if (!allocate) return;
    size_t cells = static_cast<size_t>(s->text_cols) * static_cast<size_t>(s->text_rows);
    auto** pages =
        static_cast<CharCell**>(std::calloc(static_cast<size_t>(s->page_count), sizeof(CharCell*)));
    if (!pages) return;
    for (int32_t i = 0; i < s->page_count; ++i) {
        pages[i] = static_cast<CharCell*>(std::calloc(cells ? cells : 1, sizeof(CharCell)));
        if (pages[i]) continue;
        for (int32_t j = 0; j < i; ++j) std::free(pages[j]);
        std::free(pages);
        return;
    }
    s->char_cells = pages;
    if (ctx) {
        zq_hClearCharCells(0, 0, s->text_cols, s->text_rows, ctx->work_page, 32, ctx->fg_color,
                           ctx->bg_color);
    }
}

void zq_hClearCharCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page, uint16_t ch,
                        uint32_t fg, uint32_t bg) {
    GfxState* s = __zq_gfx;
    if (!s || !s->char_cells || page < 0 || page >= s->page_count) return;
    // Kept inside the grid whatever the caller passes.
    x1 = x1 < 0 ? 0 : x1;
    y1 = y1 < 0 ? 0 : y1;
    x2 = x2 > s->text_cols ? s->text_cols : x2;
    y2 = y2 > s->text_rows ? s->text_rows : y2;
    CharCell* cells = s->char_cells[page];
    for (int32_t y = y1; y < y2; ++y) {
        CharCell* row = cells + static_cast<ptrdiff_t>(y) * s->text_cols;
        for (int32_t x = x1; x < x2; ++x) row[x] = CharCell{ch, fg, bg};
    }
}
