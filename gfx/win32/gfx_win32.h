// The Win32 window layer shared by the GDI, DirectX and OpenGL drivers: the
// window class and window, the update thread's hand-shake and lock, the
// window procedure that turns messages into keys, mouse state and events,
// and the driver operations that only need the window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gfx/blit/gfx_blitter.h"
#include "gfx/gfx_internal.h"

// The update thread's routine; its argument is the start event to signal once
// its window exists.
using UpdateThreadFn = unsigned(__stdcall*)(void* start_event);

struct Win32State {
    int32_t os_version;  // (major << 8) | minor
    HINSTANCE module;
    WNDCLASSA class_info;
    HWND window;
    PALETTEENTRY palette_entries[256];  // flags always PC_NOCOLLAPSE
    Blitter blit;
    int32_t running;  // read by the update thread without a lock: use the accessors
    int32_t palette_dirty;
    int32_t active;  // the window is active and not minimised
    int32_t win_width;
    int32_t win_height;  // display lines
    int32_t bits_per_pixel;
    int32_t mode_flags;  // DriverFlags; Fullscreen follows the window/full-screen switch
    int32_t refresh_hz;
    const char* title_text;  // not copied
    char class_name_buffer[140];
    int32_t (*window_init)();  // 0 = the window exists
    void (*window_exit)();
    void (*window_paint)();
    UpdateThreadFn update_thread;
};

extern Win32State zq_win32;

inline int32_t zq_hWin32Running() {
    return __atomic_load_n(&zq_win32.running, __ATOMIC_ACQUIRE);
}

int32_t zq_hWin32Init(const char* title, int32_t w, int32_t h, int32_t depth, int32_t refresh_rate,
                      int32_t flags);
void zq_hWin32Exit();
int32_t zq_hInitWindow(DWORD style, DWORD ex_style, int32_t x, int32_t y, int32_t w, int32_t h);
void zq_hHandleMessages();
void zq_hWin32Lock();
void zq_hWin32Unlock();
HWND zq_hGetWindowHandle();
// Switches the display to the window's size and depth; false when refused.
bool zq_hWin32EnterFullscreen();
void zq_hScreenInfo(int32_t* width, int32_t* height, int32_t* depth, int32_t* refresh);
// Sets GfxState.key_state from the keyboard (update threads, while active).
void zq_hWin32UpdateKeyState();

// Driver operations (slot contracts with GfxDriver).
void zq_hWin32SetPalette(int32_t index, int32_t r, int32_t g, int32_t b);
void zq_hWin32WaitVSync();
int32_t zq_hWin32GetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons);
void zq_hWin32SetMouse(int32_t x, int32_t y, int32_t cursor);
void zq_hWin32SetWindowTitle(const char* title);
int32_t zq_hWin32SetWindowPos(int32_t x, int32_t y);

LRESULT CALLBACK zq_hWin32WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Leave tracking by polling, for systems without TrackMouseEvent.
BOOL WINAPI zq_hTrackMouseEvent(LPTRACKMOUSEEVENT request);
void CALLBACK zq_hTrackMouseTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD time);
