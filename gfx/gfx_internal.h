// Records and helpers shared by the graphics library's units: the one screen
// (GfxState), the mode table, the display-driver record, the drawing context
// and the process-wide pixel routines.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/zq_rt.h"
#include "zq/zq_gfx.h"

// Built-in font and palette descriptors.
struct FontDesc {
    int32_t width;
    int32_t height;
    const uint8_t* data;  // glyph c at c * h; one byte per row, bit 0 leftmost
};

struct PaletteDesc {
    int32_t colors;
    const uint8_t* data;  // colors x (red, green, blue)
};

extern const FontDesc zq_font_8x8, zq_font_8x14, zq_font_8x16;
extern const PaletteDesc zq_palette_2, zq_palette_16, zq_palette_64, zq_palette_256;

struct ModeInfo {
    uint16_t width, height;
    uint8_t depth;
    uint8_t line_repeat;
    const PaletteDesc* palette;
    const FontDesc* font;
    uint8_t text_cols, text_rows;
};

struct CharCell {
    uint16_t ch;
    uint32_t fg;
    uint32_t bg;
};

struct GfxDriver {
    const char* name;
    int32_t (*init)(const char* title, int32_t w, int32_t h, int32_t depth, int32_t refresh_rate,
                    int32_t flags);
    void (*exit)();
    void (*lock)();
    void (*unlock)();
    void (*set_palette)(int32_t index, int32_t r, int32_t g, int32_t b);
    void (*wait_vsync)();
    int32_t (*get_mouse)(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons);
    void (*set_mouse)(int32_t x, int32_t y, int32_t cursor);
    void (*set_window_title)(const char* title);
    int32_t (*set_window_pos)(int32_t x, int32_t y);
    int32_t* (*fetch_modes)(int32_t depth, int32_t* count);
    void (*flip)();
    void (*poll_events)();
};

// The drivers tried in order, ended by a null entry. Tests may point it at
// fake drivers.
extern const GfxDriver** __zq_gfx_drivers_list;
extern const GfxDriver __zq_gfxDriverNull;

// GfxState.flags bits.
inline constexpr uint32_t SCREEN_LOCKED = 0x00000001;
inline constexpr uint32_t SCREEN_LOCK_SET = 0x00000002;
inline constexpr uint32_t SCREEN_TEXT_PENDING = 0x00000004;
inline constexpr uint32_t SCREEN_ALPHA_PRIMITIVES = 0x00000008;
inline constexpr uint32_t SCREEN_HAS_MMX = 0x01000000;
inline constexpr uint32_t SCREEN_OPENGL = 0x20000000;

// The event ring holds ZQ_EVENT_SLOTS - 1 events, the key buffer
// ZQ_KEY_SLOTS - 1 keys; both drop their oldest entry when full. Powers of two:
// indexes wrap with a mask.
inline constexpr int32_t ZQ_EVENT_SLOTS = 128;
inline constexpr int32_t ZQ_KEY_SLOTS = 16;

struct GfxState {
    int32_t id;
    int32_t mode_number;
    uint8_t** pages;
    int32_t page_count;
    int32_t spare;
    uint8_t* framebuffer;
    int32_t width, height;
    int32_t depth;
    int32_t bpp;
    int32_t pitch;
    uint32_t* palette;
    uint32_t* device_palette;
    uint8_t* color_association;
    uint8_t* dirty;
    const GfxDriver* driver;
    uint32_t color_mask;
    const PaletteDesc* default_palette;
    int32_t line_repeat;
    int32_t cursor_x, cursor_y;
    const FontDesc* font;
    int32_t text_cols, text_rows;
    uint8_t* key_state;  // 128 bytes
    int32_t refresh_rate;
    CharCell** char_cells;
    // Lock order: the display lock, then event_mutex; never the reverse.
    GfxEvent* event_queue;           // ZQ_EVENT_SLOTS; guarded by event_mutex
    int32_t event_head, event_tail;  // oldest, next free; equal when empty
    ZqMutex* event_mutex;
    uint32_t flags;
};

extern GfxState* __zq_gfx;
extern const char* __zq_window_title;
extern const char* __zq_gfx_driver_name;
extern uint32_t* __zq_color_conv_16to32;

// The screen-lock idiom: lock the display unless an outer operation already
// holds it; unlock only what was locked here.
inline void zq_hGfxLock() {
    GfxState* s = __zq_gfx;
    if (!(s->flags & (SCREEN_LOCKED | SCREEN_LOCK_SET))) {
        s->driver->lock();
        s->flags |= SCREEN_LOCKED | SCREEN_LOCK_SET;
    }
}

inline void zq_hGfxUnlock() {
    GfxState* s = __zq_gfx;
    if (s->flags & SCREEN_LOCK_SET) {
        s->driver->unlock();
        s->flags &= ~(SCREEN_LOCKED | SCREEN_LOCK_SET);
    }
}

// The drawing context.
struct GfxContext;
using PutPixelFn = void (*)(GfxContext* ctx, int32_t x, int32_t y, uint32_t color);
using GetPixelFn = uint32_t (*)(GfxContext* ctx, int32_t x, int32_t y);
using PixelSetFn = void* (*)(void* dest, int color, size_t count);
using PixelCpyFn = void* (*)(void* dest, const void* src, size_t count);
// Draws a clipped line from its first point to its second: Bresenham, the
// pattern read from the first point.
using LineWalkFn = void (*)(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                            uint32_t color, uint32_t style);

inline constexpr uint32_t CTX_FRESH = 0x01;
inline constexpr uint32_t CTX_ON_BUFFER = 0x02;
inline constexpr uint32_t CTX_WINDOW_ON = 0x04;
inline constexpr uint32_t CTX_WINDOW_NOFLIP = 0x08;
inline constexpr uint32_t CTX_VIEW_ON = 0x10;
inline constexpr uint32_t CTX_VIEW_ABSOLUTE = 0x20;

struct GfxContext {
    int32_t id;
    int32_t work_page;
    uint8_t** line;
    int32_t line_capacity;
    int32_t target_bpp;
    int32_t target_pitch;
    void* last_target;
    float last_x, last_y;
    int32_t view_x, view_y, view_w, view_h;
    int32_t old_view_x, old_view_y, old_view_w, old_view_h;
    float map_x, map_y, map_w, map_h;
    uint32_t fg_color, bg_color;
    PutPixelFn put_pixel;
    GetPixelFn get_pixel;
    PixelSetFn pixel_set;
    uint32_t flags;
    LineWalkFn walk_line;  // writes the pixels directly, or through put_pixel when blending
};

GfxContext* zq_hGetContext();
void zq_hPrepareTarget(GfxContext* ctx, void* target, uint32_t color);
void zq_hTranslateCoord(GfxContext* ctx, float fx, float fy, int32_t* x, int32_t* y);
// The same without the clamp: whole pixels held within +/- 2^40 before the view
// origin is added (lines clip these exactly).
void zq_hTranslateCoordWide(const GfxContext* ctx, float fx, float fy, int64_t* x, int64_t* y);
void zq_hFixRelative(GfxContext* ctx, int32_t flags, float* x1, float* y1, float* x2, float* y2);
// Whether the relative form in the low 3 bits of flags moves a point (forms 1,
// 2, 3 and 5); with the others zq_hFixRelative only sets the last point.
inline bool zq_hRelativeMoves(int32_t flags) {
    return (0x2Eu >> (flags & 7)) & 1;
}
void zq_hFixCoordsOrder(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
void zq_hSetupFuncs(int32_t bpp);
uint32_t zq_CpuDetect();

// Process-wide pixel routines, chosen by zq_hSetupFuncs.
extern PutPixelFn zq_hPutPixelSolid, zq_hPutPixelAlpha;
extern PixelSetFn zq_hPixelSetSolid, zq_hPixelSetAlpha;
extern GetPixelFn zq_hGetPixel;
extern PixelSetFn zq_hPixelSet;
extern PixelCpyFn zq_hPixelCpy;
extern PixelCpyFn zq_hMemCpy;
extern PixelSetFn zq_hMemSet;
extern LineWalkFn zq_hWalkLineSolid;

// Colours and palettes.
// A colour for a target of `bpp` bytes per pixel: 5-6-5 from the 8-bit
// components for 2, `color` unchanged otherwise.
uint32_t zq_hMakeColor(int32_t bpp, uint32_t color, int32_t r, int32_t g, int32_t b);
// A 0xAARRGGBB colour (or a palette index) in the form of a `bpp` target,
// masked to the pixel size.
uint32_t zq_hFixColor(int32_t bpp, uint32_t color);
void zq_hRestorePalette();

// Built-in data and the LZW codec.
void zq_hSetupData();
// The compressed built-in block and its expanded size (tests and benchmarks
// decode it directly).
inline constexpr int32_t ZQ_BUILTIN_DATA_SIZE = 10742;
extern const uint8_t* const zq_hBuiltinStream;
extern const int32_t zq_hBuiltinStreamSize;
int32_t zq_hDecode(const uint8_t* in, int32_t in_size, uint8_t* out, int32_t* out_size);
int32_t zq_hEncode(const uint8_t* in, int32_t in_size, uint8_t* out, int32_t* out_size);

// Lines: clips the integer endpoints to the view (false when nothing is
// left); the first point may come back as the former second one.
bool zq_hClipLine(const GfxContext* ctx, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
// zq_GfxLine drawn the plain way: the full clip for every line, then every pixel
// through put_pixel. The faster paths of zq_GfxLine must give the same pixels.
// The line zq_GfxLine would draw, translated and clipped: both points inside
// the view, first point first; false when nothing of it is visible.
bool zq_hVisibleLine(const GfxContext* ctx, float x1, float y1, float x2, float y2, int32_t* x1_out,
                     int32_t* y1_out, int32_t* x2_out, int32_t* y2_out);
void zq_hGfxLinePlain(void* target, float x1, float y1, float x2, float y2, uint32_t color,
                      int32_t type, uint32_t style, int32_t flags);

// Box, clear and view.
// Marks framebuffer rows first..last (either order) for the display when the
// context draws on the displayed page.
void zq_hMarkDirtyRows(const GfxContext* ctx, int32_t first, int32_t last);
void zq_hGfxBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color, int32_t filled,
                uint32_t style);

// Text cells.
void zq_hResetCharCells(GfxContext* ctx, int32_t allocate);
void zq_hClearCharCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page, uint16_t ch,
                        uint32_t fg, uint32_t bg);

// Text output: the print engine's hooks on the graphics screen. The write
// hook draws the run with the screen's font in the context's colours and
// records it in the text cells; the scroll hook moves pixel lines and cells.
struct ConPrintView;
int32_t zq_hHookConWrite(ConPrintView* view, const char* text, int32_t count);
void zq_hHookConScroll(ConPrintView* view, int32_t left, int32_t top, int32_t right, int32_t bottom,
                       int32_t rows);

// Screen.
void zq_GfxViewUpdate();

// Translated coordinates are kept within +/- ZQ_COORD_LIMIT, and no screen or
// image buffer side is longer, so the difference of any two coordinates or view
// edges fits in 32 bits.
inline constexpr int32_t ZQ_COORD_LIMIT = (1 << 30) - 1;

// The pixel routine family (zq_hSetupFuncs chooses among them).
void zq_hPutPixel1(GfxContext* ctx, int32_t x, int32_t y, uint32_t color);
void zq_hPutPixel2(GfxContext* ctx, int32_t x, int32_t y, uint32_t color);
void zq_hPutPixel4(GfxContext* ctx, int32_t x, int32_t y, uint32_t color);
uint32_t zq_hGetPixel1(GfxContext* ctx, int32_t x, int32_t y);
uint32_t zq_hGetPixel2(GfxContext* ctx, int32_t x, int32_t y);
uint32_t zq_hGetPixel4(GfxContext* ctx, int32_t x, int32_t y);
void* zq_hPixelSet2(void* dest, int color, size_t count);
void* zq_hPixelSet4(void* dest, int color, size_t count);
void* zq_hPixelCpy2(void* dest, const void* src, size_t count);
void* zq_hPixelCpy4(void* dest, const void* src, size_t count);
void zq_hPutPixelAlpha4(GfxContext* ctx, int32_t x, int32_t y, uint32_t color);
void* zq_hPixelSetAlpha4(void* dest, int color, size_t count);
void zq_hWalkLine1(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
                   uint32_t style);
void zq_hWalkLine2(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
                   uint32_t style);
void zq_hWalkLine4(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
                   uint32_t style);
void zq_hWalkLinePut(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     uint32_t color, uint32_t style);
// MMX twins: the same results.
void* zq_hMemCpyMMX(void* dest, const void* src, size_t bytes);
void* zq_hMemSetMMX(void* dest, int value, size_t bytes);
void* zq_hPixelSet2MMX(void* dest, int color, size_t count);
void* zq_hPixelSet4MMX(void* dest, int color, size_t count);
void zq_hPutPixelAlpha4MMX(GfxContext* ctx, int32_t x, int32_t y, uint32_t color);
void* zq_hPixelSetAlpha4MMX(void* dest, int color, size_t count);

// Input posted by the window procedure, on the update thread with the display
// lock held (or on the program's thread for drivers without one).
// Appends a copy of *event to the event ring (takes event_mutex). Does nothing
// while no screen is open.
void zq_hPostEvent(const GfxEvent* event);
// Appends a key code (a character 0..255 or an extended key code) to the key
// buffer and marks it changed; always returns 1. Takes no lock of its own.
int32_t zq_hPostKey(int32_t key);
// Whether a key was posted since the last call; clears the mark. Takes the
// display lock through the screen-lock idiom.
int32_t zq_hGfxInputBufferChanged();

// Console hook targets of no use to programs (the others are public).
int32_t zq_GfxLocateRaw(int32_t row, int32_t col, int32_t cursor);  // 0-based, -1 keeps
int32_t zq_GfxIsRedir(int32_t is_input);
