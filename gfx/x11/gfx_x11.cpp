// The X11 window: made, fed and destroyed by the update thread. Its events
// become the same keys, mouse state and events as the Win32 window's
// messages, so that a program cannot tell the platforms apart.
#include "gfx/x11/gfx_x11.h"

#include <X11/Xatom.h>

#include <cstdio>
#include <cstring>

#include "console/io_input.h"
#include "gfx/gfx_keymap.h"
#include "gfx/x11/gfx_x11_keys.h"
#include "runtime/intl.h"

X11State zq_x11;

namespace {
X11Api& x = zq_x11api;
constexpr Time kDoubleClickMs = 500;
constexpr long kEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | EnterWindowMask | LeaveWindowMask |
                            FocusChangeMask | ExposureMask | StructureNotifyMask;

void post_event(GfxEventType type) {
    GfxEvent e{};
    e.type = type;
    zq_hPostEvent(&e);
}

void mark_all_dirty() {
    GfxState* s = __zq_gfx;
    if (s && s->dirty) std::memset(s->dirty, 1, static_cast<size_t>(zq_x11.win_height));
}

void clear_keys() {
    GfxState* s = __zq_gfx;
    if (s && s->key_state) std::memset(s->key_state, 0, 128);
    std::memset(zq_x11.key_down, 0, sizeof zq_x11.key_down);
    zq_x11.mouse_buttons = 0;
}

// ---- Window properties ----

void set_title() {
    Display* d = zq_x11.display;
    // Latin-1 to UTF-8 for _NET_WM_NAME; WM_NAME keeps the bytes.
    char utf8[2 * sizeof zq_x11.title];
    size_t n = 0;
    for (const char* p = zq_x11.title; *p; ++p) {
        auto c = static_cast<uint8_t>(*p);
        if (c < 0x80) {
            utf8[n++] = static_cast<char>(c);
        } else {
            utf8[n++] = static_cast<char>(0xC0 | (c >> 6));
            utf8[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    x.XChangeProperty(d, zq_x11.window, zq_x11.net_wm_name, zq_x11.utf8_string, 8, PropModeReplace,
                      reinterpret_cast<unsigned char*>(utf8), static_cast<int>(n));
    x.XStoreName(d, zq_x11.window, zq_x11.title);
}

// Fixed size: the smallest and largest sizes are the window's own.
void set_size_hints() {
    XSizeHints* hints = x.XAllocSizeHints();
    if (!hints) return;
    hints->flags = PMinSize | PMaxSize | PPosition;
    hints->min_width = hints->max_width = zq_x11.win_width;
    hints->min_height = hints->max_height = zq_x11.win_height;
    hints->x = zq_x11.win_x;
    hints->y = zq_x11.win_y;
    x.XSetWMNormalHints(zq_x11.display, zq_x11.window, hints);
    x.XFree(hints);
}

void set_class(const char* title) {
    char name[160];
    std::snprintf(name, sizeof name, "zqgfxclass_%s", title);
    XClassHint hint{name, name};
    x.XSetClassHint(zq_x11.display, zq_x11.window, &hint);
}

bool fullscreen() {
    return (zq_x11.mode_flags & DriverFlags::Fullscreen) != 0;
}

// Before mapping, the state is a property the window manager reads; after, a
// request to the window manager (with none, nothing happens).
void set_fullscreen_state(bool mapped) {
    Display* d = zq_x11.display;
    if (!mapped) {
        if (fullscreen()) {
            x.XChangeProperty(d, zq_x11.window, zq_x11.net_wm_state, XA_ATOM, 32, PropModeReplace,
                              reinterpret_cast<unsigned char*>(&zq_x11.net_wm_state_fullscreen), 1);
        }
        return;
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = zq_x11.window;
    e.xclient.message_type = zq_x11.net_wm_state;
    e.xclient.format = 32;
    e.xclient.data.l[0] = fullscreen() ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
    e.xclient.data.l[1] = static_cast<long>(zq_x11.net_wm_state_fullscreen);
    e.xclient.data.l[3] = 1;  // a normal application
    x.XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
                 &e);
}

Cursor make_blank_cursor() {
    Display* d = zq_x11.display;
    static const char kEmpty[1] = {0};
    Pixmap bits = x.XCreateBitmapFromData(d, zq_x11.window, kEmpty, 1, 1);
    if (!bits) return 0;
    XColor black{};
    Cursor c = x.XCreatePixmapCursor(d, bits, bits, &black, &black, 0, 0);
    x.XFreePixmap(d, bits);
    return c;
}

bool pick_visual() {
    Display* d = zq_x11.display;
    int screen = DefaultScreen(d);
    zq_x11.visual = DefaultVisual(d, screen);
    zq_x11.visual_depth = DefaultDepth(d, screen);
    if (zq_x11.visual->c_class == TrueColor) return true;
    // A default visual with a palette: look for a TrueColor one of any depth.
    XVisualInfo info;
    constexpr int kDepths[] = {24, 32, 16, 15};
    for (int depth : kDepths) {
        if (x.XMatchVisualInfo(d, screen, depth, TrueColor, &info)) {
            zq_x11.visual = info.visual;
            zq_x11.visual_depth = info.depth;
            return true;
        }
    }
    return false;
}

int32_t refresh_rate() {
    if (!x.has_xrandr) return 0;
    Display* d = zq_x11.display;
    XRRScreenConfiguration* config = x.XRRGetScreenInfo(d, DefaultRootWindow(d));
    if (!config) return 0;
    int32_t rate = x.XRRConfigCurrentRate(config);
    x.XRRFreeScreenConfigInfo(config);
    return rate;
}

void intern_atoms() {
    Display* d = zq_x11.display;
    zq_x11.wm_protocols = x.XInternAtom(d, "WM_PROTOCOLS", False);
    zq_x11.wm_delete_window = x.XInternAtom(d, "WM_DELETE_WINDOW", False);
    zq_x11.net_wm_name = x.XInternAtom(d, "_NET_WM_NAME", False);
    zq_x11.utf8_string = x.XInternAtom(d, "UTF8_STRING", False);
    zq_x11.net_wm_state = x.XInternAtom(d, "_NET_WM_STATE", False);
    zq_x11.net_wm_state_fullscreen = x.XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
}

// ---- Events ----

int32_t control_state(unsigned int modifiers, bool enhanced) {
    int32_t state = 0;
    if (modifiers & ShiftMask) state |= KeyState::Shift;
    if (modifiers & ControlMask) state |= KeyState::LeftCtrl;
    if (modifiers & Mod1Mask) state |= KeyState::LeftAlt;
    if (enhanced) state |= KeyState::Enhanced;
    return state;
}

bool alt_enter(const XKeyEvent& e, KeySym sym) {
    return (sym == XK_Return || sym == XK_KP_Enter) && (e.state & Mod1Mask);
}

// Between window and full screen, as Alt+Enter does on Windows.
void switch_mode() {
    if (zq_x11.mouse_on) post_event(GfxEventType::MouseOut);
    if (zq_x11.mode_flags & DriverFlags::FixedMode) return;
    zq_x11.mode_flags ^= DriverFlags::Fullscreen;
    set_fullscreen_state(true);
    mark_all_dirty();
}

void on_key_press(XKeyEvent& e) {
    char text[8];
    KeySym sym = 0;
    int n = x.XLookupString(&e, text, sizeof text, &sym, nullptr);
    bool repeat = zq_x11.key_down[e.keycode & 0xFF];
    zq_x11.key_down[e.keycode & 0xFF] = true;
    if (alt_enter(e, sym)) {
        if (!repeat) switch_mode();
        return;
    }
    // The symbol as typed (the keypad follows Num Lock), else the key's own.
    X11Key key{};
    bool known = zq_hX11KeyOf(static_cast<uint32_t>(sym), &key) ||
                 zq_hX11KeyOf(static_cast<uint32_t>(x.XLookupKeysym(&e, 0)), &key);
    // Latin-1's 0x80..0x9F are control characters no key types; X gives
    // Delete the character 0x7F, Windows none.
    auto ch = static_cast<uint8_t>(n == 1 ? text[0] : 0);
    if (ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) ch = 0;
    int32_t state = control_state(e.state, key.enhanced);
    int32_t code = zq_hConsoleTranslateKey(ch, key.scan, key.vk, state, 0);
    GfxState* s = __zq_gfx;
    if (known && key.scan < 128 && s && s->key_state) s->key_state[key.scan] = 1;
    if (code > 255) zq_hPostKey(code);
    // What Windows sends as WM_CHAR; with Alt it sends WM_SYSCHAR, which types nothing.
    if (ch && !(state & KeyState::AnyAlt)) zq_hPostTypedChar(static_cast<char>(ch), ZQ_CP_1252, 1);
    GfxEvent ev{};
    ev.type = repeat ? GfxEventType::KeyRepeat : GfxEventType::KeyDown;
    ev.key.scan_code = zq_hVirtualToScancode(key.vk);
    ev.key.char_code = code >= 0 && code <= 255 ? code : 0;
    zq_hPostEvent(&ev);
}

// Without detectable auto-repeat, a held key sends release and press with
// one time stamp: the release is dropped and the press counts as a repeat.
bool is_repeat_release(const XKeyEvent& e) {
    if (zq_x11.detectable_repeat || !x.XPending(zq_x11.display)) return false;
    XEvent next;
    x.XPeekEvent(zq_x11.display, &next);
    return next.type == KeyPress && next.xkey.keycode == e.keycode && next.xkey.time == e.time;
}

void on_key_release(XKeyEvent& e) {
    if (is_repeat_release(e)) return;
    zq_x11.key_down[e.keycode & 0xFF] = false;
    X11Key key{};
    bool known = zq_hX11KeyOf(static_cast<uint32_t>(x.XLookupKeysym(&e, 0)), &key);
    GfxState* s = __zq_gfx;
    if (known && key.scan < 128 && s && s->key_state) s->key_state[key.scan] = 0;
    GfxEvent ev{};
    ev.type = GfxEventType::KeyUp;
    ev.key.scan_code = zq_hVirtualToScancode(key.vk);
    zq_hPostEvent(&ev);
}

// X buttons 1, 2, 3 are left, middle, right; 4 and 5 turn the wheel.
constexpr int32_t kButtonBits[4] = {0, 1, 4, 2};

void on_button_press(const XButtonEvent& e) {
    GfxEvent ev{};
    if (e.button == Button4 || e.button == Button5) {
        zq_x11.mouse_wheel += e.button == Button4 ? 1 : -1;
        ev.type = GfxEventType::WheelMotion;
        ev.wheel = zq_x11.mouse_wheel;
        zq_hPostEvent(&ev);
        return;
    }
    if (e.button > Button3) return;
    int32_t bit = kButtonBits[e.button];
    zq_x11.mouse_buttons |= bit;
    // A second press soon after the first is a double click; a third is a press again.
    bool twice =
        zq_x11.last_click_button == bit && e.time - zq_x11.last_click_time < kDoubleClickMs;
    zq_x11.last_click_button = twice ? 0 : bit;
    zq_x11.last_click_time = e.time;
    ev.type = twice ? GfxEventType::ButtonDoubleClick : GfxEventType::ButtonDown;
    ev.button = bit;
    zq_hPostEvent(&ev);
}

void on_button_release(const XButtonEvent& e) {
    if (e.button < Button1 || e.button > Button3) return;
    int32_t bit = kButtonBits[e.button];
    zq_x11.mouse_buttons &= ~bit;
    GfxEvent ev{};
    ev.type = GfxEventType::ButtonUp;
    ev.button = bit;
    zq_hPostEvent(&ev);
}

bool inside(int x_pos, int y_pos) {
    return x_pos >= 0 && y_pos >= 0 && x_pos < zq_x11.win_width && y_pos < zq_x11.win_height;
}

void on_motion(const XMotionEvent& e) {
    zq_x11.mouse_x = e.x;
    zq_x11.mouse_y = e.y;
    zq_x11.mouse_on = inside(e.x, e.y);
    GfxEvent ev{};
    int32_t dx = zq_x11.motion_known ? e.x_root - zq_x11.last_root_x : 0;
    int32_t dy = zq_x11.motion_known ? e.y_root - zq_x11.last_root_y : 0;
    zq_x11.last_root_x = e.x_root;
    zq_x11.last_root_y = e.y_root;
    zq_x11.motion_known = true;
    if ((!dx && !dy) || !zq_x11.active) return;
    ev.type = GfxEventType::MouseMotion;
    ev.motion = {e.x, e.y, dx, dy};
    zq_hPostEvent(&ev);
}

void on_crossing(const XCrossingEvent& e) {
    // The crossings of grabs say nothing about where the pointer is.
    if (e.mode != NotifyNormal) return;
    GfxEvent ev{};
    if (e.type == EnterNotify) {
        zq_x11.mouse_on = 1;
        zq_x11.mouse_x = e.x;
        zq_x11.mouse_y = e.y;
        ev.type = GfxEventType::MouseIn;
        ev.motion = {e.x, e.y, 0, 0};
    } else {
        zq_x11.mouse_on = 0;
        ev.type = GfxEventType::MouseOut;
    }
    zq_hPostEvent(&ev);
}

void on_focus(const XFocusChangeEvent& e) {
    // Focus moving among the window's own parts, or for a grab, changes nothing.
    if (e.detail == NotifyInferior || e.detail == NotifyPointer || e.mode == NotifyGrab ||
        e.mode == NotifyUngrab) {
        return;
    }
    zq_x11.active = e.type == FocusIn ? 1 : 0;
    clear_keys();
    if (!zq_x11.active && zq_x11.mouse_on) post_event(GfxEventType::MouseOut);
    post_event(zq_x11.active ? kGfxFocusIn : kGfxFocusOut);
}

void on_client_message(const XClientMessageEvent& e) {
    if (e.message_type != zq_x11.wm_protocols ||
        static_cast<Atom>(e.data.l[0]) != zq_x11.wm_delete_window) {
        return;
    }
    // As the Windows close button: the program decides.
    zq_hPostKey(ZQ_KEY_CLOSE);
    post_event(GfxEventType::CloseRequest);
}

void on_configure(const XConfigureEvent& e) {
    // Synthetic events (from a window manager) carry root coordinates; real
    // ones are relative to a frame the manager may have added.
    if (e.send_event) {
        zq_x11.win_x = e.x;
        zq_x11.win_y = e.y;
        return;
    }
    Window child;
    int rx = 0, ry = 0;
    if (x.XTranslateCoordinates(zq_x11.display, zq_x11.window, DefaultRootWindow(zq_x11.display), 0,
                                0, &rx, &ry, &child)) {
        zq_x11.win_x = rx;
        zq_x11.win_y = ry;
    }
}

void dispatch(XEvent& e) {
    switch (e.type) {
        case KeyPress:
            return on_key_press(e.xkey);
        case KeyRelease:
            return on_key_release(e.xkey);
        case ButtonPress:
            return on_button_press(e.xbutton);
        case ButtonRelease:
            return on_button_release(e.xbutton);
        case MotionNotify:
            return on_motion(e.xmotion);
        case EnterNotify:
        case LeaveNotify:
            return on_crossing(e.xcrossing);
        case FocusIn:
        case FocusOut:
            return on_focus(e.xfocus);
        case Expose:
            return mark_all_dirty();
        case ClientMessage:
            return on_client_message(e.xclient);
        case ConfigureNotify:
            return on_configure(e.xconfigure);
        default:
            return;
    }
}

void apply_requests() {
    Display* d = zq_x11.display;
    if (zq_x11.title_pending) {
        set_title();
        zq_x11.title_pending = false;
    }
    if (zq_x11.warp_pending) {
        Window target = fullscreen() ? DefaultRootWindow(d) : zq_x11.window;
        x.XWarpPointer(d, 0, target, 0, 0, 0, 0, zq_x11.warp_x, zq_x11.warp_y);
        zq_x11.warp_pending = false;
    }
    if (zq_x11.cursor_pending) {
        if (zq_x11.cursor_shown || !zq_x11.blank_cursor) {
            x.XUndefineCursor(d, zq_x11.window);
        } else {
            x.XDefineCursor(d, zq_x11.window, zq_x11.blank_cursor);
        }
        zq_x11.cursor_pending = false;
    }
    if (zq_x11.move_pending) {
        x.XMoveWindow(d, zq_x11.window, zq_x11.move_x, zq_x11.move_y);
        zq_x11.move_pending = false;
    }
}
}  // namespace

int32_t zq_hX11OpenWindow(const char* title) {
    Display* d = zq_x11.display = x.XOpenDisplay(nullptr);
    if (!d) return -1;
    if (!pick_visual()) return -1;
    intern_atoms();
    int screen = DefaultScreen(d);
    Window root = RootWindow(d, screen);
    zq_x11.win_x = (DisplayWidth(d, screen) - zq_x11.win_width) >> 1;
    zq_x11.win_y = (DisplayHeight(d, screen) - zq_x11.win_height) >> 1;
    zq_x11.colormap = x.XCreateColormap(d, root, zq_x11.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = zq_x11.colormap;
    attributes.event_mask = kEventMask;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    zq_x11.window = x.XCreateWindow(
        d, root, zq_x11.win_x, zq_x11.win_y, static_cast<unsigned>(zq_x11.win_width),
        static_cast<unsigned>(zq_x11.win_height), 0, zq_x11.visual_depth, InputOutput,
        zq_x11.visual, CWColormap | CWEventMask | CWBackPixel | CWBorderPixel, &attributes);
    if (!zq_x11.window) return -1;
    zq_x11.gc = x.XCreateGC(d, zq_x11.window, 0, nullptr);
    x.XSetWMProtocols(d, zq_x11.window, &zq_x11.wm_delete_window, 1);
    std::snprintf(zq_x11.title, sizeof zq_x11.title, "%s", title ? title : "");
    set_title();
    set_class(zq_x11.title);
    set_size_hints();
    set_fullscreen_state(false);
    zq_x11.blank_cursor = make_blank_cursor();
    Bool supported = False;
    x.XkbSetDetectableAutoRepeat(d, True, &supported);
    zq_x11.detectable_repeat = supported;
    GfxState* s = __zq_gfx;
    s->refresh_rate = refresh_rate();
    if (zq_hX11MakeImage(true) != 0) return -1;
    x.XMapWindow(d, zq_x11.window);
    x.XSync(d, False);
    zq_x11.active = 1;  // as on Windows until the focus says otherwise
    zq_x11.cursor_shown = 1;
    return 0;
}

void zq_hX11CloseWindow() {
    Display* d = zq_x11.display;
    if (!d) return;
    zq_hX11FreeImage();
    if (zq_x11.gc) x.XFreeGC(d, zq_x11.gc);
    if (zq_x11.window) x.XDestroyWindow(d, zq_x11.window);
    if (zq_x11.blank_cursor) x.XFreeCursor(d, zq_x11.blank_cursor);
    if (zq_x11.colormap) x.XFreeColormap(d, zq_x11.colormap);
    x.XCloseDisplay(d);
    zq_x11.display = nullptr;
    zq_x11.window = 0;
    zq_x11.gc = nullptr;
    zq_x11.blank_cursor = 0;
    zq_x11.colormap = 0;
}

void zq_hX11HandleEvents() {
    apply_requests();
    while (x.XPending(zq_x11.display)) {
        XEvent e;
        x.XNextEvent(zq_x11.display, &e);
        dispatch(e);
    }
}
