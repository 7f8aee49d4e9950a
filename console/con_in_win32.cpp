// The console keyboard on the Win32 console: input records, the close,
// log-off and shut-down notifications, and the console window's key state.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "console/con_in.h"
#include "runtime/zq_rt.h"

namespace {
std::atomic<int> close_request;

// The system ends the process once the handler returns, or when its limit for
// the notification has passed: 5 s for a closed console, 20 s at log-off and
// shut-down.
constexpr int32_t kCloseLimitMs = 5000;
constexpr int32_t kEndSessionLimitMs = 20000;
constexpr int32_t kCloseStepMs = 50;

HANDLE input_handle() {
    return reinterpret_cast<HANDLE>(zq_hConsoleGetHandle(1));
}

bool is_close_notification(DWORD type) {
    // CTRL_CLOSE_EVENT (2), CTRL_LOGOFF_EVENT (5), CTRL_SHUTDOWN_EVENT (6).
    constexpr DWORD close_types = 0x64;
    return type <= 6 && ((close_types >> type) & 1);
}

// The run-time's shut-down is the program's last step: its exit handlers have
// all run by then. A program that ends sooner takes this thread with it.
bool program_finished() {
    return zq_hRtInitCount() == 0;
}

void sleep_ms(int32_t ms) {
    Sleep(static_cast<DWORD>(ms));
}

// Runs on a thread of the system's: it raises a flag, which the program's
// thread turns into the close key at its next event processing, and keeps
// the process alive while the program reads it and ends.
BOOL WINAPI zq_hConsoleHandlerRoutine(DWORD type) {
    if (!is_close_notification(type)) return FALSE;
    close_request.store(1);
    const int32_t limit = type == CTRL_CLOSE_EVENT ? kCloseLimitMs : kEndSessionLimitMs;
    zq_hConsoleWaitForExit({limit, kCloseStepMs, program_finished, sleep_ms});
    return TRUE;
}

void console_start() {
    SetConsoleCtrlHandler(zq_hConsoleHandlerRoutine, TRUE);
}

void console_stop() {
    SetConsoleCtrlHandler(zq_hConsoleHandlerRoutine, FALSE);
}

ConKeyRecord from_win32(const KEY_EVENT_RECORD& k) {
    ConKeyRecord key{};
    key.key_down = k.bKeyDown ? 1 : 0;
    key.repeat = k.wRepeatCount;
    key.vk = k.wVirtualKeyCode;
    key.scan = k.wVirtualScanCode;
    key.ch = static_cast<uint8_t>(k.uChar.AsciiChar);
    key.state = k.dwControlKeyState;
    return key;
}

INPUT_RECORD to_win32(const ConKeyRecord& key) {
    INPUT_RECORD r{};
    r.EventType = KEY_EVENT;
    r.Event.KeyEvent.bKeyDown = key.key_down;
    r.Event.KeyEvent.wRepeatCount = key.repeat;
    r.Event.KeyEvent.wVirtualKeyCode = key.vk;
    r.Event.KeyEvent.wVirtualScanCode = key.scan;
    r.Event.KeyEvent.uChar.AsciiChar = static_cast<CHAR>(key.ch);
    r.Event.KeyEvent.dwControlKeyState = key.state;
    return r;
}

MOUSE_EVENT_RECORD last_mouse;

// A failing peek (no console) counts as no input.
bool console_next(ConEvent* event) {
    HANDLE h = input_handle();
    INPUT_RECORD r;
    DWORD n = 0;
    if (!PeekConsoleInputA(h, &r, 1, &n) || n == 0) return false;
    if (!ReadConsoleInputA(h, &r, 1, &n) || n == 0) return false;
    event->mouse = nullptr;
    if (r.EventType == KEY_EVENT) {
        event->kind = ConEventKind::Key;
        event->key = from_win32(r.Event.KeyEvent);
    } else if (r.EventType == MOUSE_EVENT) {
        event->kind = ConEventKind::Mouse;
        last_mouse = r.Event.MouseEvent;
        event->mouse = &last_mouse;
    } else {
        event->kind = ConEventKind::Other;
    }
    return true;
}

bool console_take_close() {
    return close_request.exchange(0) != 0;
}

void console_put_back(const ConKeyRecord* keys, int32_t count) {
    static INPUT_RECORD records[ZQ_CON_KEY_SLOTS];
    if (count > ZQ_CON_KEY_SLOTS) count = ZQ_CON_KEY_SLOTS;
    for (int32_t i = 0; i < count; ++i) records[i] = to_win32(keys[i]);
    DWORD written = 0;
    if (count > 0) WriteConsoleInputA(input_handle(), records, static_cast<DWORD>(count), &written);
}

// The console window, found by giving the console a unique title for a moment.
HWND find_console_window() {
    char saved[260];
    if (GetConsoleTitleA(saved, sizeof saved) == 0) return nullptr;
    char unique[64];
    std::snprintf(unique, sizeof unique, "_zq_console_title %f", zq_Timer());
    SetConsoleTitleA(unique);
    HWND window = FindWindowA(nullptr, unique);
    SetConsoleTitleA(saved);
    return window;
}
}  // namespace

const ConInputSource __zq_con_platform_input = {
    console_start, console_stop, console_next, console_take_close, console_put_back,
};

bool con_in_has_focus() {
    static bool looked;
    static HWND window;
    if (!looked) {
        looked = true;
        window = find_console_window();
    }
    return window != nullptr && GetForegroundWindow() == window;
}

bool con_in_vk_down(int32_t vk) {
    return static_cast<int16_t>(GetAsyncKeyState(vk)) < 0;
}
