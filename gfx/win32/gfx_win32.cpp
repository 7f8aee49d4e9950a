// The Win32 window layer. The update thread of the GDI or DirectX driver owns
// the window and runs the window procedure with update_lock held, so every
// write to the key buffer, the mouse state and key_state happens under it;
// the program's thread takes the same lock through the driver's lock slot.
#include "gfx/win32/gfx_win32.h"

#include <process.h>

#include <cstdio>
#include <cstring>

#include "console/io_input.h"
#include "gfx/gfx_keymap.h"
#include "gfx/win32/gfx_winrules.h"
#include "runtime/intl.h"

Win32State zq_win32;

namespace {
using TrackMouseFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

constexpr UINT_PTR kLeaveTimer = 2;
constexpr UINT kLeavePollMs = 100;
constexpr int32_t kNoMotionYet = 0xFFFF;

// Outlive the layer's closes.
TrackMouseFn track_mouse_event;
UINT wm_mouseenter;

int32_t has_focus;  // the pointer is inside and leave tracking is armed
CRITICAL_SECTION update_lock;
HANDLE handle;  // the update thread; null when none runs
BOOL screensaver_active;
int32_t cursor_shown;
int32_t mouse_buttons;
int32_t mouse_wheel;
int32_t mouse_x, mouse_y;
int32_t mouse_on;
POINT last_mouse_pos;

void set_running(int32_t value) {
    __atomic_store_n(&zq_win32.running, value, __ATOMIC_RELEASE);
}

void post_event(GfxEventType type) {
    GfxEvent e{};
    e.type = type;
    zq_hPostEvent(&e);
}

void mark_dirty(int32_t lines) {
    GfxState* s = __zq_gfx;
    if (s && s->dirty && lines > 0) zq_hMemSet(s->dirty, 1, static_cast<size_t>(lines));
}

bool flag(int32_t f) {
    return (zq_win32.mode_flags & f) != 0;
}

// ---- Opening ----

void read_os_version() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    zq_win32.os_version = static_cast<int32_t>((info.dwMajorVersion << 8) | info.dwMinorVersion);
}

void find_track_mouse_event() {
    if (track_mouse_event) return;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC proc = user32 ? GetProcAddress(user32, "TrackMouseEvent") : nullptr;
    track_mouse_event =
        proc ? reinterpret_cast<TrackMouseFn>(reinterpret_cast<void*>(proc)) : zq_hTrackMouseEvent;
}

void register_class(int32_t flags) {
    WNDCLASSA& c = zq_win32.class_info;
    c.lpfnWndProc = zq_hWin32WinProc;
    c.hInstance = zq_win32.module;
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.hIcon = LoadIconA(zq_win32.module, "ZQ_PROGRAM_ICON");
    if (!c.hIcon) c.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    c.lpszClassName = zq_win32.class_name_buffer;
    c.style = (flags & DriverFlags::OpenGL) ? CS_DBLCLKS : CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    RegisterClassA(&c);
}

// Starts the update thread and waits until it has its window (0) or has ended
// (-1).
int32_t start_update_thread() {
    InitializeCriticalSection(&update_lock);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    // _beginthreadex: the handle stays valid after the thread ends, so both
    // the wait below and the one at exit are safe.
    uintptr_t thread =
        event ? _beginthreadex(nullptr, 0, zq_win32.update_thread, event, 0, nullptr) : 0;
    if (!thread) {
        if (event) CloseHandle(event);
        DeleteCriticalSection(&update_lock);
        return -1;
    }
    handle = reinterpret_cast<HANDLE>(thread);
    HANDLE waits[2] = {event, handle};
    DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    CloseHandle(event);
    return which == WAIT_OBJECT_0 ? 0 : -1;
}

// ---- Window procedure helpers ----

struct Message {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    GfxEvent event;
    POINT cursor;  // screen position at entry
};

bool pointer_in_client(HWND hwnd, POINT* cursor) {
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    GetCursorPos(cursor);
    return PtInRect(&r, *cursor) != 0;
}

// Arms leave tracking when the pointer has just come in; true when it did.
bool enter_check(Message& m) {
    if (has_focus || !zq_win32.active) return false;
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof request;
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = m.hwnd;
    track_mouse_event(&request);
    has_focus = 1;
    m.event.type = GfxEventType::MouseIn;
    return true;
}

LRESULT common_tail(Message& m, bool with_enter_check) {
    if (with_enter_check) enter_check(m);
    if (m.event.type != GfxEventType::None) zq_hPostEvent(&m.event);
    if (m.msg == wm_mouseenter) return 0;
    return DefWindowProcA(m.hwnd, m.msg, m.wParam, m.lParam);
}

LRESULT on_close() {
    zq_hPostKey(ZQ_KEY_CLOSE);
    post_event(GfxEventType::CloseRequest);
    return 0;
}

// Between window and full screen; runs on the update thread with the lock held.
LRESULT switch_mode() {
    if (has_focus) post_event(GfxEventType::MouseOut);
    if (flag(DriverFlags::FixedMode)) return 0;
    // Destroying the window deactivates it: the pointer has left already, so
    // that must not report it again.
    has_focus = 0;
    zq_win32.window_exit();
    zq_win32.mode_flags ^= DriverFlags::Fullscreen;
    if (zq_win32.window_init() != 0) {
        zq_win32.window_exit();
        zq_win32.mode_flags ^= DriverFlags::Fullscreen;
        if (zq_win32.window_init() != 0) {
            // No window in either mode: nothing can be shown or typed any
            // more, so the program is asked to end as by the close button.
            zq_win32.window_exit();
            on_close();
            return 0;
        }
    }
    zq_hRestorePalette();
    mark_dirty(zq_win32.win_height);
    zq_win32.active = 1;
    return 0;
}

LRESULT on_activate(Message& m) {
    WORD state = LOWORD(m.wParam);
    WORD minimised = HIWORD(m.wParam);
    zq_win32.active = (minimised == 0 && state != WA_INACTIVE) ? 1 : 0;
    // The default handling, which this message never reaches, would give the
    // window the keyboard focus; without it keys arrive as system keys.
    if (zq_win32.active) SetFocus(m.hwnd);
    GfxState* s = __zq_gfx;
    if (s && s->key_state) zq_hMemSet(s->key_state, 0, 128);
    mouse_buttons = 0;
    mark_dirty(zq_win32.win_height);
    if (!zq_win32.active && has_focus) {
        post_event(GfxEventType::MouseOut);
        has_focus = 0;
        KillTimer(m.hwnd, kLeaveTimer);
    }
    if (state == WA_INACTIVE || minimised == 0) {
        post_event(zq_win32.active ? GfxEventType::FocusIn : GfxEventType::FocusOut);
    }
    if (zq_win32.active && mouse_on && enter_check(m)) zq_hPostEvent(&m.event);
    return 0;
}

// The character a key types, 0 for none (dead keys type none).
int32_t typed_char(UINT vk, UINT scan, const BYTE* keyboard) {
    if (MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR) & 0x80000000u) return 0;
    WORD out = 0;
    if (ToAscii(vk, scan, keyboard, &out, 0) != 1) return 0;
    return static_cast<int8_t>(out & 0xFF);
}

LRESULT on_key(Message& m) {
    UINT vk = LOWORD(m.wParam);
    UINT scan = (static_cast<UINT>(m.lParam) >> 16) & 0xFF;
    int32_t repeat = LOWORD(m.lParam);
    bool was_down = (m.lParam & (1 << 30)) != 0;
    bool extended = (m.lParam & (1 << 24)) != 0;
    BYTE keyboard[256];
    GetKeyboardState(keyboard);
    int32_t state = zq_hKeyControlState(keyboard, extended);
    int32_t ch = typed_char(vk, scan, keyboard);
    int32_t key =
        zq_hConsoleTranslateKey(ch, static_cast<int32_t>(scan), static_cast<int32_t>(vk), state, 0);
    // System key-downs (Alt+key, F10) count as key presses too, so that
    // Alt+letter codes reach the key buffer.
    if (m.msg == WM_KEYUP) {
        m.event.type = GfxEventType::KeyUp;
    } else {
        m.event.type = was_down ? GfxEventType::KeyRepeat : GfxEventType::KeyDown;
        if (key > 255) {
            for (int32_t i = 0; i < repeat; ++i) zq_hPostKey(key);
        }
    }
    m.event.key.scan_code = zq_hVirtualToScancode(static_cast<int32_t>(vk));
    m.event.key.char_code = (key >= 0 && key <= 255) ? key : 0;
    // Neither F10 nor Alt opens the system menu, and Alt+F4 does not close.
    if (vk == VK_F10 || vk == VK_MENU || key == ZQ_KEY_CLOSE) return 0;
    return common_tail(m, false);
}

LRESULT on_char(Message& m) {
    if (m.wParam > 255) return common_tail(m, false);
    zq_hPostTypedChar(static_cast<char>(m.wParam), ZQ_CP_ANSI, LOWORD(m.lParam));
    return common_tail(m, false);
}

LRESULT on_mouse_move(Message& m) {
    // Signed: while a button is held the pointer can be left of or above the
    // window.
    mouse_x = static_cast<int16_t>(LOWORD(m.lParam));
    mouse_y = static_cast<int16_t>(HIWORD(m.lParam));
    int32_t dx = 0, dy = 0;
    if (last_mouse_pos.x != kNoMotionYet) {
        dx = m.cursor.x - last_mouse_pos.x;
        dy = m.cursor.y - last_mouse_pos.y;
    }
    last_mouse_pos = m.cursor;
    m.event.motion = {mouse_x, mouse_y, dx, dy};
    if ((dx || dy) && zq_win32.active) m.event.type = GfxEventType::MouseMotion;
    return common_tail(m, true);
}

LRESULT on_button_down(Message& m, int32_t button, bool double_click) {
    SetCapture(m.hwnd);
    mouse_buttons |= button;
    m.event.type = double_click ? GfxEventType::ButtonDoubleClick : GfxEventType::ButtonDown;
    m.event.button = button;
    return common_tail(m, false);
}

LRESULT on_button_up(Message& m, int32_t button) {
    mouse_buttons &= ~button;
    if (!mouse_buttons && GetCapture() == m.hwnd) ReleaseCapture();
    m.event.type = GfxEventType::ButtonUp;
    m.event.button = button;
    return common_tail(m, false);
}

LRESULT on_wheel(Message& m) {
    if (zq_win32.os_version > 0x409) {
        mouse_wheel += static_cast<int32_t>(static_cast<uint32_t>(m.wParam)) > 0 ? 1 : -1;
        m.event.type = GfxEventType::WheelMotion;
        m.event.wheel = mouse_wheel;
    }
    return common_tail(m, false);
}

LRESULT on_paint(Message& m) {
    PAINTSTRUCT ps;
    BeginPaint(m.hwnd, &ps);
    if (zq_win32.window_paint) zq_win32.window_paint();
    EndPaint(m.hwnd, &ps);
    return common_tail(m, false);
}

LRESULT on_display_change(Message& m) {
    if (zq_win32.window_paint) zq_win32.window_paint();
    if (__zq_gfx) mark_dirty(__zq_gfx->height);
    return common_tail(m, false);
}

LRESULT on_set_cursor() {
    if (mouse_on && !cursor_shown) {
        SetCursor(nullptr);
    } else {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    return TRUE;
}

LRESULT on_mouse_leave(Message& m) {
    if (!zq_win32.active) return common_tail(m, false);
    post_event(GfxEventType::MouseOut);
    has_focus = 0;
    return 0;
}

bool alt_enter(const Message& m) {
    return m.wParam == VK_RETURN && (m.lParam & (1 << 29));
}

LRESULT dispatch(Message& m) {
    switch (m.msg) {
        case WM_ACTIVATE:
            return on_activate(m);
        case WM_SIZE:
            if (zq_win32.active && m.wParam == SIZE_MAXIMIZED) return switch_mode();
            return common_tail(m, false);
        case WM_SYSKEYDOWN:
            if (!zq_win32.active) return common_tail(m, false);
            return alt_enter(m) ? switch_mode() : on_key(m);
        case WM_KEYDOWN:
        case WM_KEYUP:
            return on_key(m);
        case WM_CHAR:
            return on_char(m);
        case WM_SETCURSOR:
            return on_set_cursor();
        case WM_PAINT:
            return on_paint(m);
        case WM_DISPLAYCHANGE:
            return on_display_change(m);
        case WM_CLOSE:
            return on_close();
        case WM_MOUSEMOVE:
            return on_mouse_move(m);
        case WM_LBUTTONDOWN:
            return on_button_down(m, 1, false);
        case WM_LBUTTONDBLCLK:
            return on_button_down(m, 1, true);
        case WM_RBUTTONDOWN:
            return on_button_down(m, 2, false);
        case WM_RBUTTONDBLCLK:
            return on_button_down(m, 2, true);
        case WM_MBUTTONDOWN:
            return on_button_down(m, 4, false);
        case WM_MBUTTONDBLCLK:
            return on_button_down(m, 4, true);
        case WM_LBUTTONUP:
            return on_button_up(m, 1);
        case WM_RBUTTONUP:
            return on_button_up(m, 2);
        case WM_MBUTTONUP:
            return on_button_up(m, 4);
        case WM_MOUSEWHEEL:
            return on_wheel(m);
        case WM_MOUSELEAVE:
            return on_mouse_leave(m);
        default:
            return common_tail(m, m.msg == wm_mouseenter);
    }
}
}  // namespace

// ---- The layer ----

int32_t zq_hWin32Init(const char* title, int32_t w, int32_t h, int32_t depth, int32_t refresh_rate,
                      int32_t flags) {
    read_os_version();
    cursor_shown = 1;
    last_mouse_pos.x = kNoMotionYet;
    wm_mouseenter = RegisterWindowMessageA("ZQ WM_MOUSEENTER emulation");
    find_track_mouse_event();
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &screensaver_active, 0);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    zq_win32.module = GetModuleHandleA(nullptr);
    std::snprintf(zq_win32.class_name_buffer, sizeof zq_win32.class_name_buffer, "zqgfxclass_%s",
                  title ? title : "");
    zq_win32.title_text = title;
    zq_win32.mode_flags = flags;
    zq_win32.win_width = w;
    zq_win32.win_height = h;
    zq_win32.bits_per_pixel = depth;
    zq_win32.refresh_hz = refresh_rate;
    register_class(flags);
    mouse_wheel = 0;
    mouse_buttons = 0;
    set_running(1);
    handle = nullptr;
    if (flags & DriverFlags::OpenGL) return 0;
    return start_update_thread();
}

void zq_hWin32Exit() {
    if (!zq_hWin32Running()) return;
    set_running(0);
    if (handle) {
        WaitForSingleObject(handle, INFINITE);
        CloseHandle(handle);
        handle = nullptr;
        DeleteCriticalSection(&update_lock);
    }
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(screensaver_active), nullptr,
                          0);
    UnregisterClassA(zq_win32.class_name_buffer, zq_win32.module);
}

int32_t zq_hInitWindow(DWORD style, DWORD ex_style, int32_t x, int32_t y, int32_t w, int32_t h) {
    zq_win32.window =
        CreateWindowExA(ex_style, zq_win32.class_name_buffer, zq_win32.title_text, style, x, y, w,
                        h, nullptr, nullptr, zq_win32.module, nullptr);
    if (!zq_win32.window) return -1;
    if (flag(DriverFlags::Topmost)) {
        SetWindowPos(zq_win32.window, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOSENDCHANGING);
    }
    SetForegroundWindow(zq_win32.window);
    return 0;
}

void zq_hHandleMessages() {
    MSG msg;
    while (PeekMessageA(&msg, zq_win32.window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void zq_hWin32Lock() {
    EnterCriticalSection(&update_lock);
}

void zq_hWin32Unlock() {
    LeaveCriticalSection(&update_lock);
}

HWND zq_hGetWindowHandle() {
    return zq_win32.window;
}

void zq_hScreenInfo(int32_t* width, int32_t* height, int32_t* depth, int32_t* refresh) {
    HDC dc = GetDC(nullptr);
    *width = GetDeviceCaps(dc, HORZRES);
    *height = GetDeviceCaps(dc, VERTRES);
    *depth = GetDeviceCaps(dc, BITSPIXEL);
    *refresh = GetDeviceCaps(dc, VREFRESH);
    ReleaseDC(nullptr, dc);
}

void zq_hWin32UpdateKeyState() {
    GfxState* s = __zq_gfx;
    if (!s || !s->key_state) return;
    BYTE keyboard[256];
    GetKeyboardState(keyboard);
    for (const KeyTableRow* row = __zq_keytable; row->scan; ++row) {
        bool down = (keyboard[row->vk] & 0x80) || (row->vk2 && (keyboard[row->vk2] & 0x80));
        if (row->scan < 128) s->key_state[row->scan] = down ? 1 : 0;
    }
}

// ---- Driver operations ----

void zq_hWin32SetPalette(int32_t index, int32_t r, int32_t g, int32_t b) {
    if (index < 0 || index > 255) return;
    zq_win32.palette_entries[index] = {static_cast<BYTE>(r), static_cast<BYTE>(g),
                                       static_cast<BYTE>(b), PC_NOCOLLAPSE};
    zq_win32.palette_dirty = 1;
}

void zq_hWin32WaitVSync() {
    const GfxState* s = __zq_gfx;
    Sleep(static_cast<DWORD>(zq_hRefreshPeriodMs(s ? s->refresh_rate : 0)));
}

int32_t zq_hWin32GetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons) {
    if (!zq_win32.active || !mouse_on) return -1;
    *x = mouse_x;
    *y = mouse_y;
    *wheel = mouse_wheel;
    *buttons = mouse_buttons;
    return 0;
}

void zq_hWin32SetMouse(int32_t x, int32_t y, int32_t cursor) {
    if (x >= 0) {
        POINT p;
        p.x = x < zq_win32.win_width - 1 ? x : zq_win32.win_width - 1;
        p.y = y < 0 ? 0 : (y < zq_win32.win_height - 1 ? y : zq_win32.win_height - 1);
        if (!flag(DriverFlags::Fullscreen)) ClientToScreen(zq_win32.window, &p);
        SetCursorPos(p.x, p.y);
        mouse_x = x;
        mouse_y = y;
    }
    // The pointer's look is set again only when its visibility changes.
    if ((cursor == 0 && cursor_shown) || (cursor > 0 && !cursor_shown)) {
        cursor_shown = cursor > 0;
        PostMessageA(zq_win32.window, WM_SETCURSOR, 0, 0);
    }
}

void zq_hWin32SetWindowTitle(const char* title) {
    // SetWindowTextA waits for the update thread, which may be waiting for the
    // lock the program's thread holds.
    const GfxState* s = __zq_gfx;
    bool release = handle && s && (s->flags & SCREEN_LOCKED);
    if (release) LeaveCriticalSection(&update_lock);
    SetWindowTextA(zq_win32.window, title);
    if (release) EnterCriticalSection(&update_lock);
}

int32_t zq_hWin32SetWindowPos(int32_t x, int32_t y) {
    if (flag(DriverFlags::Fullscreen)) return 0;
    RECT r;
    GetWindowRect(zq_win32.window, &r);
    constexpr int32_t kKeep = INT32_MIN;
    SetWindowPos(zq_win32.window, nullptr, x == kKeep ? r.left : x, y == kKeep ? r.top : y,
                 r.right - r.left, r.bottom - r.top,
                 SWP_ASYNCWINDOWPOS | SWP_NOOWNERZORDER | SWP_NOZORDER | SWP_NOSIZE);
    return static_cast<int32_t>((static_cast<uint32_t>(r.left) & 0xFFFF) |
                                (static_cast<uint32_t>(r.top) << 16));
}

// ---- Window procedure ----

LRESULT CALLBACK zq_hWin32WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Message m{hwnd, msg, wParam, lParam, {}, {}};
    mouse_on = pointer_in_client(hwnd, &m.cursor);
    return dispatch(m);
}

// ---- Leave tracking by polling ----

BOOL WINAPI zq_hTrackMouseEvent(LPTRACKMOUSEEVENT request) {
    if (request->dwFlags != TME_LEAVE) return FALSE;
    return SetTimer(request->hwndTrack, kLeaveTimer, kLeavePollMs, zq_hTrackMouseTimerProc) != 0;
}

void CALLBACK zq_hTrackMouseTimerProc(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    POINT cursor;
    if (pointer_in_client(hwnd, &cursor) && WindowFromPoint(cursor) == hwnd) return;
    KillTimer(hwnd, id);
    PostMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
}

bool zq_hWin32EnterFullscreen() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(zq_win32.win_width);
    mode.dmPelsHeight = static_cast<DWORD>(zq_win32.win_height);
    mode.dmBitsPerPel = static_cast<DWORD>(zq_win32.bits_per_pixel);
    mode.dmDisplayFrequency = static_cast<DWORD>(zq_win32.refresh_hz);  // not requested
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}
