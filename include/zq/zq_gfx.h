/// \file zq_gfx.h
/// The graphics library: one software framebuffer screen shown by a display
/// driver, drawing into it or into image buffers, palettes, views, text with
/// the built-in fonts, and key, mouse and window input.
///
/// Coordinates are pixels, x to the right and y down from the view's top left
/// corner (or the screen's, see zq_GfxView). Colours are a palette index on
/// screens of depth 1 to 8, 5-6-5 at depth 16 and 0xAARRGGBB at depth 32.
/// Calls that fail store error 1 (zq_ErrorGetNum) and return it; drawing calls
/// do nothing while no screen is open.
#pragma once

#include <cstdint>

#include "zq/zq_rt.h"

/// The flags argument of zq_GfxScreen and zq_GfxScreenRes (bits, OR them).
namespace DriverFlags {
inline constexpr int32_t Fullscreen = 0x01;    ///< full screen instead of a window
inline constexpr int32_t OpenGL = 0x02;        ///< an OpenGL screen (depth at least 16)
inline constexpr int32_t FixedMode = 0x04;     ///< no switching between window and full screen
inline constexpr int32_t Borderless = 0x08;    ///< a window without a frame
inline constexpr int32_t Shaped = 0x10;        ///< a shaped window (implies FixedMode, Borderless)
inline constexpr int32_t Topmost = 0x20;       ///< the window stays above the others
inline constexpr int32_t AlphaDrawing = 0x40;  ///< 32-bit drawing blends by the colour's alpha
inline constexpr int32_t StencilBuffer = 0x10000;  ///< OpenGL: ask for a stencil buffer
inline constexpr int32_t AccumBuffer = 0x20000;    ///< OpenGL: ask for an accumulation buffer
inline constexpr int32_t Multisample = 0x40000;    ///< OpenGL: ask for multisampling
inline constexpr int32_t NoDisplay = -1;  ///< the whole value: no display, framebuffer only
/// Used when the library closes the screen at exit; not for programs.
inline constexpr int32_t Closing = static_cast<int32_t>(0x80000000u);
}  // namespace DriverFlags

/// What an event says the window did.
enum class GfxEventType : int32_t {
    None = 0,               ///< no event
    KeyDown = 1,            ///< a key went down (key)
    KeyUp = 2,              ///< a key went up (key)
    KeyRepeat = 3,          ///< a held key repeated (key)
    MouseMotion = 4,        ///< the pointer moved (motion)
    ButtonDown = 5,         ///< a mouse button went down (button)
    ButtonUp = 6,           ///< a mouse button went up (button)
    ButtonDoubleClick = 7,  ///< a mouse button was double-clicked (button)
    WheelMotion = 8,        ///< the wheel turned (wheel)
    MouseIn = 9,            ///< the pointer entered the window (motion, when it came with one)
    MouseOut = 10,          ///< the pointer left the window
    FocusIn = 11,           ///< the window got the keyboard focus
    FocusOut = 12,          ///< the window lost the keyboard focus
    CloseRequest = 13,      ///< the user asked to close the window
};

/// One event of the screen's event ring (zq_GfxGetEvent).
struct GfxEvent {
    GfxEventType type;  ///< what happened; the union member to read follows from it
    union {
        /// KeyDown, KeyUp, KeyRepeat.
        struct {
            int32_t scan_code;  ///< the key's scan code (zq_GfxMultikey numbering)
            int32_t char_code;  ///< the key's character 0..255, else 0
        } key;
        /// MouseMotion, MouseIn.
        struct {
            int32_t x, y;    ///< pointer position, window pixels
            int32_t dx, dy;  ///< movement since the previous motion, pixels
        } motion;
        int32_t button;   ///< ButtonDown/Up/DoubleClick: 1 left, 2 right, 4 middle
        int32_t wheel;    ///< WheelMotion: the wheel position after the turn
        int32_t data[4];  ///< the four words, whatever the type
    };
};

/// Opens a screen in numbered mode 1 to 21 (0 closes it; 3 to 6 do not
/// exist) at `depth` bits (modes above 13 only), with `num_pages` pages and a
/// refresh rate in Hz (0 any); 0, or error 1 (bad mode, no driver).
int32_t zq_GfxScreen(int32_t mode, int32_t depth, int32_t num_pages, int32_t flags,
                     int32_t refresh_rate);
/// Opens a w x h pixel screen at depth 1, 2, 4, 8, 15, 16, 24 or 32 bits; 0,
/// or error 1 (bad size or depth, no driver).
int32_t zq_GfxScreenRes(int32_t w, int32_t h, int32_t depth, int32_t num_pages, int32_t flags,
                        int32_t refresh_rate);
/// Sets the window title (at most 127 bytes, kept for later screens; a
/// temporary string is released); returns 0.
int32_t zq_GfxSetWindowTitle(ZqString* title);
/// Moves the window's top left corner to screen pixel x, y; 0, or error 1 (no
/// screen, or a driver without windows).
int32_t zq_GfxSetWindowPos(int32_t x, int32_t y);
/// Waits for the display's next frame; 0, or error 1 when no screen is open.
int32_t zq_GfxWaitVSync();
/// An OpenGL entry point by name for the program's own drawing; null unless
/// the open screen is an OpenGL one (Windows builds only).
void* zq_GfxGetGLProcAddress(const char* name);

/// Draws a line (type 0), a box outline (type 1) or a filled box (type 2)
/// from x1, y1 to x2, y2 into `target` (an image buffer, null: the screen);
/// `style` is a 16-bit on/off pattern (0xFFFF solid); `flags` < 0 draws in
/// the foreground colour instead of `color`.
void zq_GfxLine(void* target, float x1, float y1, float x2, float y2, uint32_t color, int32_t type,
                uint32_t style, int32_t flags);
/// One line of a batch: from (x1, y1) to (x2, y2) in whole pixels of the
/// caller's coordinates.
struct ZqGfxSegment {
    int32_t x1;  ///< start column
    int32_t y1;  ///< start row
    int32_t x2;  ///< end column
    int32_t y2;  ///< end row
};
/// Solid lines in one colour: the pixels, dirty rows and last point of
/// zq_GfxLine(target, x1, y1, x2, y2, color, 0, 0xFFFF, 0) for each segment in
/// turn, each row written once under one lock; nothing without a screen.
void zq_GfxLineBatch(void* target, const ZqGfxSegment* segments, int32_t count, uint32_t color);
/// Limits drawing to screen pixels x1, y1 to x2, y2 (all four -32768: the
/// whole screen), filling it and framing it (flags bits 31 and 30 leave them
/// out); flags bit 0 keeps later coordinates screen-absolute.
void zq_GfxView(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill_color,
                uint32_t border_color, int32_t flags);
/// Clears to the background colour: 0 the screen, 1 the view, 2 the text
/// view rows; returns 0.
int32_t zq_GfxClear(int32_t mode);
/// Sets palette entry `index` to r, g, b (0 to 255 each; with g or b negative,
/// r is a DAC value 0x00BBGGRR of 6-bit parts, or a colour-table index on
/// 16-colour modes); a negative index restores the default palette.
void zq_GfxPalette(int32_t index, int32_t r, int32_t g, int32_t b);
/// Sets palette entries 0 .. 2^depth - 1 from `data` (values as for
/// zq_GfxPalette with g and b negative); negative entries are skipped.
void zq_GfxPaletteUsing(const int32_t* data);
/// Reads the emulated VGA port `port` (0x3C9: the next 6-bit palette
/// component); -1 for ports not emulated or screens deeper than 8 bits.
int32_t zq_GfxIn(uint16_t port);
/// Writes `value` to the emulated VGA port `port` (0x3C8/0x3C7 palette index,
/// 0x3C9 palette data); 0, or -1 for ports not emulated.
int32_t zq_GfxOut(uint16_t port, uint8_t value);

/// A zero-filled image buffer of w x h pixels for zq_GfxLine's target, with
/// the pixel size of `depth` bits (0: the open screen's); null and error 1
/// for a bad size or depth or when memory runs out.
void* zq_GfxImageCreate(int32_t w, int32_t h, int32_t depth);
/// Frees an image buffer made by zq_GfxImageCreate; null is ignored.
void zq_GfxImageDestroy(void* image);
/// Copies `image` to x, y of `target` (an image buffer, null: the screen),
/// clipped to the view; 0, or error 1 (no screen, pixel sizes differ).
int32_t zq_GfxImagePut(void* target, int32_t x, int32_t y, const void* image);

/// Sets the text colours (flags bit 0: keep fg, bit 1: keep bg); returns the
/// old ones as (bg << 16) | fg.
int32_t zq_GfxColor(int32_t fg, int32_t bg, int32_t flags);
/// Moves the text cursor to 1-based row, col (0 keeps one); returns the new
/// position as ((row - 1) << 8 | (col - 1)) + 0x101.
int32_t zq_GfxLocate(int32_t row, int32_t col, int32_t cursor);
/// Sets the text grid to cols x rows cells of 8 x 8, 14 or 16 pixels (others
/// change nothing); returns the old size as (rows << 16) | cols.
int32_t zq_GfxWidth(int32_t cols, int32_t rows);
/// The text cursor's 1-based column.
int32_t zq_GfxGetX();
/// The text cursor's 1-based row.
int32_t zq_GfxGetY();
/// The text cursor's 1-based column and row; either pointer may be null.
void zq_GfxGetXY(int32_t* col, int32_t* row);
/// The text grid in cells; either pointer may be null.
void zq_GfxGetSize(int32_t* cols, int32_t* rows);
/// Prints `len` bytes of code page 437 text at the cursor (mask bit 3 runs
/// even for len 0); returns 0.
int32_t zq_GfxPrintBufferEx(const char* text, int32_t len, int32_t mask);
/// Prints 0-terminated code page 437 text at the cursor; returns 0.
int32_t zq_GfxPrintBuffer(const char* text, int32_t mask);
/// Prints `len` 16-bit characters (each cut to 8 bits) at the cursor; returns 0.
int32_t zq_GfxPrintBufferWstrEx(const char16_t* text, int32_t len, int32_t mask);
/// Prints 0-terminated 16-bit text at the cursor; returns 0.
int32_t zq_GfxPrintBufferWstr(const char16_t* text, int32_t mask);
/// The character (colour_flag 0), packed colours (1) or background (2) of
/// the 1-based text cell col, row; 0 outside the grid or with no screen.
int32_t zq_GfxReadXY(int32_t col, int32_t row, int32_t colour_flag);
/// Reads typed characters into `buffer` (at most max_len - 1) until Enter;
/// returns buffer, or null when no screen is open.
char* zq_GfxReadStr(char* buffer, int32_t max_len);
/// Reads an edited line into `dst` (a ZqString when dst_size is -1, else a
/// buffer of dst_size bytes) after printing `prompt` (and "? "); 0, or error
/// 4 when no line was read.
int32_t zq_GfxLineInput(ZqString* prompt, void* dst, int32_t dst_size, int32_t fill_rest,
                        int32_t add_question, int32_t add_newline);
/// zq_GfxLineInput for 16-bit text into `dst_chars` units; 0, or error 4.
int32_t zq_GfxLineInputWstr(const char16_t* prompt, char16_t* dst, int32_t dst_chars,
                            int32_t add_question, int32_t add_newline);

/// The oldest key as a temporary string without waiting: "", one character,
/// or 0xFF then the scan code for an extended key.
ZqString* zq_GfxInkey();
/// Waits for a key and returns its code: a character 0..255 or
/// (scan code << 8) | 0xFF; 0 at once when no screen is open.
int32_t zq_GfxGetkey();
/// 1 while a key is waiting, else 0; removes nothing.
int32_t zq_GfxKeyHit();
/// Sleeps `ms` milliseconds, ending early when a key arrives; -1 waits for a key.
void zq_GfxSleep(int32_t ms);
/// -1 while the key with this scan code (0 to 127) is held, else 0.
int32_t zq_GfxMultikey(int32_t scan_code);
/// The pointer's position in window pixels, wheel position and buttons (bit
/// 0 left, 1 right, 2 middle; wheel and buttons may be null); 0, or error 1
/// with all four -1 (no screen, pointer outside the window).
int32_t zq_GfxGetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons);
/// Moves the pointer to window pixel x, y (x < 0 keeps it) and shows (1) or
/// hides (0) it (-1 keeps); 0, or error 1 (no screen, no pointer).
int32_t zq_GfxSetMouse(int32_t x, int32_t y, int32_t cursor);
/// Takes the oldest event of the window into *event; 1 when there was one,
/// 0 (type None) when there was none or no screen is open.
int32_t zq_GfxGetEvent(GfxEvent* event);
