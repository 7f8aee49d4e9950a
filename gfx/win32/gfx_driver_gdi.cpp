// The GDI driver: the framebuffer (or a converted copy) is a top-down
// device-independent bitmap that the update thread copies to the window with
// SetDIBitsToDevice, one band of changed lines per pass, about every 10 ms.
// It is also the driver that can open a shaped (colour-keyed layered) window.
#include <cstdlib>
#include <cstring>

#include "gfx/blit/gfx_blitter_lines.h"
#include "gfx/win32/gfx_win32.h"
#include "gfx/win32/gfx_winrules.h"

namespace {
using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

constexpr DWORD kFullscreenStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kPassSleepMs = 10;
constexpr COLORREF kMagenta = RGB(0xFF, 0, 0xFF);

struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

BitmapInfo256* bitmap_info;
HPALETTE palette;
uint8_t* buffer;  // conversion target while a blitter is set
SetLayeredFn set_layered_window_attributes;
bool display_changed;  // the desktop's mode is to be restored at exit

bool flag(int32_t f) {
    return (zq_win32.mode_flags & f) != 0;
}

// Lines of the conversion buffer are 4-byte aligned, as bitmap lines are.
int32_t buffer_pitch() {
    return (__zq_gfx->pitch + 3) & ~3;
}

void opaque_line(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    for (int32_t x = 0; x < count; ++x) {
        uint32_t p;
        std::memcpy(&p, src + x * 4, 4);
        p &= 0x00FFFFFF;
        std::memcpy(dst + x * 4, &p, 4);
    }
}

// A 32-bit framebuffer with the alpha byte cleared, so that a pixel drawn as
// 0x..FF00FF matches the colour key whatever its alpha.
void alpha_remover_blitter(uint8_t* dest, int32_t pitch) {
    zq_hBlitLines(dest, pitch, 4, opaque_line, nullptr);
}

DWORD window_style() {
    if (flag(DriverFlags::Borderless)) return WS_POPUP;
    if (flag(DriverFlags::FixedMode)) return kWindowStyle & ~static_cast<DWORD>(WS_MAXIMIZEBOX);
    return kWindowStyle;
}

int32_t create_window() {
    if (flag(DriverFlags::Fullscreen)) {
        if (!zq_hWin32EnterFullscreen()) return -1;
        display_changed = true;
        return zq_hInitWindow(kFullscreenStyle | WS_VISIBLE, 0, 0, 0, zq_win32.win_width,
                              zq_win32.win_height);
    }
    DWORD style = window_style();
    DWORD ex_style = 0;
    if (flag(DriverFlags::Shaped)) {
        if (zq_win32.os_version <= 0x4FF) return -1;  // layered windows came with 0x500
        ex_style = WS_EX_LAYERED;
    }
    RECT r = {0, 0, zq_win32.win_width, zq_win32.win_height};
    AdjustWindowRect(&r, style, FALSE);
    int32_t w = r.right - r.left;
    int32_t h = r.bottom - r.top;
    int32_t x = (GetSystemMetrics(SM_CXSCREEN) - w) >> 1;
    int32_t y = (GetSystemMetrics(SM_CYSCREEN) - h) >> 1;
    return zq_hInitWindow(style | WS_VISIBLE, ex_style, x, y, w, h);
}

int32_t make_shaped() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC proc = user32 ? GetProcAddress(user32, "SetLayeredWindowAttributes") : nullptr;
    if (!proc) return -1;
    set_layered_window_attributes = reinterpret_cast<SetLayeredFn>(reinterpret_cast<void*>(proc));
    COLORREF key = zq_win32.bits_per_pixel <= 8 ? 0 : kMagenta;
    set_layered_window_attributes(zq_win32.window, key, 0, LWA_COLORKEY);
    return 0;
}

int32_t make_bitmap_info() {
    bitmap_info = static_cast<BitmapInfo256*>(std::calloc(1, sizeof(BitmapInfo256)));
    if (!bitmap_info) return -1;
    BITMAPINFOHEADER& h = bitmap_info->header;
    h.biSize = sizeof h;
    h.biWidth = zq_win32.win_width;
    h.biHeight = -zq_win32.win_height;  // top-down: the first line in memory is the top one
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(zq_win32.bits_per_pixel);
    h.biCompression = BI_RGB;
    h.biClrUsed = 256;
    return 0;
}

Blitter blitter_for(GdiConversion conversion) {
    switch (conversion) {
        case GdiConversion::To555:
            return zq_hGetBlitter(15, 0);  // 16-bit BI_RGB is 5-5-5
        case GdiConversion::LineCopy:
            return zq_hGetBlitter(zq_win32.bits_per_pixel, 0);
        case GdiConversion::AlphaRemover:
            return alpha_remover_blitter;
        case GdiConversion::None:
            return nullptr;
    }
    return nullptr;
}

int32_t choose_conversion() {
    GfxState* s = __zq_gfx;
    GdiConversion conversion = zq_hGdiConversion(zq_win32.bits_per_pixel, zq_win32.win_width,
                                                 s->line_repeat, flag(DriverFlags::Shaped));
    if (conversion == GdiConversion::None) return 0;
    Blitter blit = blitter_for(conversion);
    if (!blit) return -1;
    size_t bytes = static_cast<size_t>(buffer_pitch()) * static_cast<size_t>(zq_win32.win_height);
    buffer = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (!buffer) return -1;
    zq_win32.blit = blit;
    // Paints show the buffer as last converted: it starts converted, so that
    // neither the first paint nor a band over lines not yet drawn shows
    // anything but the framebuffer.
    zq_hMemSet(s->dirty, 1, static_cast<size_t>(s->height));
    blit(buffer, buffer_pitch());
    return 0;
}

void make_palette() {
    auto* log =
        static_cast<LOGPALETTE*>(std::malloc(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)));
    if (!log) return;
    log->palVersion = 0x300;
    log->palNumEntries = 256;
    std::memcpy(log->palPalEntry, zq_win32.palette_entries, sizeof zq_win32.palette_entries);
    palette = CreatePalette(log);
    std::free(log);
}

int32_t gdi_init() {
    buffer = nullptr;
    bitmap_info = nullptr;
    palette = nullptr;
    zq_win32.blit = nullptr;
    if (create_window() != 0) return -1;
    if (flag(DriverFlags::Shaped) && make_shaped() != 0) return -1;
    if (make_bitmap_info() != 0 || choose_conversion() != 0) return -1;
    HDC dc = GetDC(zq_win32.window);
    __zq_gfx->refresh_rate = GetDeviceCaps(dc, VREFRESH);
    make_palette();
    ReleaseDC(zq_win32.window, dc);
    return 0;
}

void gdi_exit() {
    zq_win32.blit = nullptr;
    std::free(buffer);
    buffer = nullptr;
    std::free(bitmap_info);
    bitmap_info = nullptr;
    // Also when the window could not be made after the mode change.
    if (display_changed) ChangeDisplaySettingsA(nullptr, 0);
    display_changed = false;
    if (zq_win32.window) DestroyWindow(zq_win32.window);
    zq_win32.window = nullptr;
    if (palette) DeleteObject(palette);
    palette = nullptr;
}

const uint8_t* bitmap_bits() {
    return zq_win32.blit ? buffer : __zq_gfx->framebuffer;
}

int32_t bitmap_pitch() {
    return zq_win32.blit ? buffer_pitch() : __zq_gfx->pitch;
}

// False while there is nothing to draw to or from: while the window is being
// made, or after a window/full-screen switch that could make none.
bool can_draw() {
    return zq_win32.window && bitmap_info && (buffer || !zq_win32.blit);
}

void gdi_paint() {
    if (!can_draw()) return;
    HDC dc = GetDC(zq_win32.window);
    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(zq_win32.win_width),
                      static_cast<DWORD>(zq_win32.win_height), 0, 0, 0,
                      static_cast<UINT>(zq_win32.win_height), bitmap_bits(),
                      reinterpret_cast<BITMAPINFO*>(bitmap_info), DIB_RGB_COLORS);
    ReleaseDC(zq_win32.window, dc);
}

void apply_palette(HDC dc) {
    for (int32_t i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = zq_win32.palette_entries[i];
        bitmap_info->colors[i] = {e.peBlue, e.peGreen, e.peRed, 0};
    }
    SetPaletteEntries(palette, 0, 256, zq_win32.palette_entries);
    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    zq_win32.palette_dirty = 0;
}

// Sends the smallest band of display lines that holds every changed line.
void send_dirty_band(HDC dc) {
    const GfxState* s = __zq_gfx;
    DirtyBand band;
    if (!zq_hDirtyBand(s->dirty, s->height, s->line_repeat, &band)) return;
    if (zq_win32.blit) zq_win32.blit(buffer, buffer_pitch());
    const uint8_t* src = bitmap_bits() + static_cast<ptrdiff_t>(band.first) * bitmap_pitch();
    SetDIBitsToDevice(dc, 0, band.first, static_cast<DWORD>(zq_win32.win_width),
                      static_cast<DWORD>(band.count), 0, 0, 0, static_cast<UINT>(band.count), src,
                      reinterpret_cast<BITMAPINFO*>(bitmap_info), DIB_RGB_COLORS);
    if (zq_win32.os_version <= 0x4FF) {
        RECT r = {0, band.first, zq_win32.win_width, band.first + band.count};
        InvalidateRect(zq_win32.window, &r, FALSE);
    }
}

void gdi_pass() {
    if (can_draw()) {
        GfxState* s = __zq_gfx;
        HDC dc = GetDC(zq_win32.window);
        if (zq_win32.palette_dirty) apply_palette(dc);
        send_dirty_band(dc);
        ReleaseDC(zq_win32.window, dc);
        zq_hMemSet(s->dirty, 0, static_cast<size_t>(zq_win32.win_height));
        if (zq_win32.active) zq_hWin32UpdateKeyState();
    }
    zq_hHandleMessages();
}

unsigned __stdcall gdi_thread(void* start_event) {
    if (gdi_init() != 0) {
        gdi_exit();
        return 1;
    }
    // Set before the event: once it is signalled the program's thread reads
    // `active` under the lock, which this thread does not hold yet.
    zq_win32.active = 1;
    SetEvent(static_cast<HANDLE>(start_event));
    while (zq_hWin32Running()) {
        zq_hWin32Lock();
        gdi_pass();
        zq_hWin32Unlock();
        Sleep(kPassSleepMs);
    }
    gdi_exit();
    return 0;
}

int32_t driver_init(const char* title, int32_t w, int32_t h, int32_t depth, int32_t refresh_rate,
                    int32_t flags) {
    std::memset(&zq_win32, 0, sizeof zq_win32);
    if (flags & DriverFlags::OpenGL) return -1;
    zq_win32.window_init = gdi_init;
    zq_win32.window_exit = gdi_exit;
    zq_win32.window_paint = gdi_paint;
    zq_win32.update_thread = gdi_thread;
    return zq_hWin32Init(title, w, h, depth < 8 ? 8 : depth, refresh_rate, flags);
}

int32_t* driver_fetch_modes(int32_t depth, int32_t* count) {
    int32_t* modes = nullptr;
    *count = 0;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
        if (!zq_hModeDepthMatches(static_cast<int32_t>(mode.dmBitsPerPel), depth)) continue;
        int32_t* grown = zq_hAppendMode(modes, count, mode.dmPelsWidth, mode.dmPelsHeight);
        if (!grown) break;
        modes = grown;
    }
    return modes;
}
}  // namespace

GfxDriver zq_gfxDriverGDI = {
    "GDI",                    // name
    driver_init,              // init
    zq_hWin32Exit,            // exit
    zq_hWin32Lock,            // lock
    zq_hWin32Unlock,          // unlock
    zq_hWin32SetPalette,      // set_palette
    zq_hWin32WaitVSync,       // wait_vsync
    zq_hWin32GetMouse,        // get_mouse
    zq_hWin32SetMouse,        // set_mouse
    zq_hWin32SetWindowTitle,  // set_window_title
    zq_hWin32SetWindowPos,    // set_window_pos
    driver_fetch_modes,       // fetch_modes
    nullptr,                  // flip
    nullptr,                  // poll_events
};
