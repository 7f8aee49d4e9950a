// The X11 window layer of the Linux build: libX11, libXext and (when present)
// libXrandr loaded at run time, the window and its events, the image the
// changed lines are sent through, and the state the update thread shares with
// the program's thread.
//
// Only the update thread talks to the X server while a screen is open: the
// program's thread leaves its requests (title, pointer, position) in the state
// under the update lock and the next pass carries them out. fetch_modes alone
// opens a connection of its own.
#pragma once

#include "gfx/gfx_internal.h"
// Xlib defines None, FocusIn and FocusOut as macros: name the event types that
// share those names before it comes in.
inline constexpr GfxEventType kGfxFocusIn = GfxEventType::FocusIn;
inline constexpr GfxEventType kGfxFocusOut = GfxEventType::FocusOut;

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <pthread.h>

#include <cstdint>

#include "gfx/blit/gfx_blitter.h"

// The library entry points, loaded by name; each slot has the type of the
// function it holds.
// clang-format off
#define ZQ_X11_ENTRY_POINTS(F)                                                               \
    F(XInitThreads) F(XOpenDisplay) F(XCloseDisplay) F(XCreateWindow)     \
    F(XDestroyWindow) F(XMapWindow) F(XMoveWindow) F(XInternAtom) F(XSetWMProtocols)        \
    F(XStoreName) F(XChangeProperty) F(XAllocSizeHints)                  \
    F(XSetWMNormalHints) F(XFree) F(XSetClassHint) F(XSendEvent) F(XPending) F(XNextEvent)  \
    F(XPeekEvent) F(XFlush) F(XSync) F(XLookupString) F(XLookupKeysym) F(XWarpPointer)      \
    F(XDefineCursor) F(XUndefineCursor) F(XCreateBitmapFromData) F(XCreatePixmapCursor)     \
    F(XFreePixmap) F(XFreeCursor) F(XCreateImage) F(XPutImage) F(XSetErrorHandler)          \
    F(XMatchVisualInfo) F(XCreateColormap) F(XFreeColormap) F(XkbSetDetectableAutoRepeat)  \
    F(XTranslateCoordinates) F(XCreateGC) F(XFreeGC)
#define ZQ_XEXT_ENTRY_POINTS(F) \
    F(XShmQueryExtension) F(XShmCreateImage) F(XShmAttach) F(XShmDetach) F(XShmPutImage)
#define ZQ_XRANDR_ENTRY_POINTS(F) \
    F(XRRGetScreenInfo) F(XRRConfigCurrentRate) F(XRRFreeScreenConfigInfo)
// clang-format on

#define ZQ_X11_SLOT(name) decltype(&::name) name;
struct X11Api {
    ZQ_X11_ENTRY_POINTS(ZQ_X11_SLOT)
    ZQ_XEXT_ENTRY_POINTS(ZQ_X11_SLOT)
    ZQ_XRANDR_ENTRY_POINTS(ZQ_X11_SLOT)
    bool has_xrandr;  // the RandR slots are set
};
#undef ZQ_X11_SLOT

// The loaded libraries' entry points. Valid once zq_hX11Load has succeeded;
// the libraries then stay loaded for the rest of the process, so that a
// screen opened and closed many times loads them once.
extern X11Api zq_x11api;
// 0 when libX11 and libXext are loaded (now or before), -1 when either is
// missing. libXrandr is optional.
int32_t zq_hX11Load();

struct X11State {
    // Set by init before the update thread starts; read-only afterwards.
    int32_t win_width;
    int32_t win_height;  // display lines
    int32_t depth;       // the framebuffer's bits per pixel
    int32_t refresh_hz;  // asked for; 0 = any

    // The update thread's own.
    Display* display;
    Window window;
    Visual* visual;
    int32_t visual_depth;
    Colormap colormap;
    GC gc;
    Cursor blank_cursor;
    Atom wm_protocols, wm_delete_window, net_wm_name, utf8_string, net_wm_state,
        net_wm_state_fullscreen;
    XImage* image;
    XShmSegmentInfo shm;
    bool use_shm;  // false: XPutImage from client memory
    Blitter blit;
    bool key_down[256];  // by X key code: tells a repeat from a press
    bool detectable_repeat;
    Time last_click_time;
    int32_t last_click_button;
    int32_t last_root_x, last_root_y;
    bool motion_known;

    // Guarded by the update lock.
    int32_t mode_flags;  // DriverFlags; Fullscreen follows Alt+Enter
    int32_t active;      // the window has the keyboard focus
    int32_t mouse_on;    // the pointer is over the client area
    int32_t mouse_x, mouse_y, mouse_wheel, mouse_buttons;
    int32_t cursor_shown;
    int32_t win_x, win_y;  // the window's last known position on the screen
    char title[128];
    bool title_pending;
    bool warp_pending;
    int32_t warp_x, warp_y;
    bool cursor_pending;
    bool move_pending;
    int32_t move_x, move_y;

    // Atomic: written by one thread, read by the other without the lock.
    int32_t running;
    int32_t palette_dirty;
};

extern X11State zq_x11;

// The window, on the update thread. zq_hX11OpenWindow returns 0 with the
// window mapped and the image ready, -1 with whatever it made left for
// zq_hX11CloseWindow, which undoes any part of it.
int32_t zq_hX11OpenWindow(const char* title);
void zq_hX11CloseWindow();
// Carries out the program's requests and turns the queued X events into
// keys, mouse state and events. Update lock held.
void zq_hX11HandleEvents();

// The image. zq_hX11MakeImage picks the blitter from the visual's masks and
// the transport (MIT-SHM unless missing, refused or forced off); 0 or -1.
int32_t zq_hX11MakeImage(bool allow_shm);
void zq_hX11FreeImage();
// Converts the dirty lines and sends the band that holds them; true when
// something was sent. Update lock held; leaves the dirty flags alone.
bool zq_hX11SendDirty();
