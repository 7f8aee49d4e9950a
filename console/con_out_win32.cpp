#include <windows.h>

#include "console/con_out.h"

namespace {
HANDLE out_handle() {
    return GetStdHandle(STD_OUTPUT_HANDLE);
}

bool screen_info(CONSOLE_SCREEN_BUFFER_INFO* info) {
    HANDLE h = out_handle();
    return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleScreenBufferInfo(h, info);
}
}  // namespace

bool con_out_size(int32_t* cols, int32_t* rows) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!screen_info(&info)) return false;
    *cols = info.srWindow.Right - info.srWindow.Left + 1;
    *rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    return true;
}

void con_out_resize(int32_t cols, int32_t rows) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!screen_info(&info) || cols <= 0 || rows <= 0) return;
    COORD size{static_cast<SHORT>(cols), static_cast<SHORT>(rows)};
    SMALL_RECT win{0, 0, static_cast<SHORT>(cols - 1), static_cast<SHORT>(rows - 1)};
    // Shrinking needs the window first, growing the buffer first; one order fails
    // harmlessly, so try both.
    SetConsoleWindowInfo(out_handle(), TRUE, &win);
    SetConsoleScreenBufferSize(out_handle(), size);
    SetConsoleWindowInfo(out_handle(), TRUE, &win);
}

void con_out_clear() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!screen_info(&info)) return;
    DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    DWORD done = 0;
    COORD origin{0, 0};
    FillConsoleOutputCharacterA(out_handle(), ' ', cells, origin, &done);
    FillConsoleOutputAttribute(out_handle(), info.wAttributes, cells, origin, &done);
    SetConsoleCursorPosition(out_handle(), origin);
}

void con_out_move(int32_t row, int32_t col) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!screen_info(&info)) return;
    COORD pos{static_cast<SHORT>(col), static_cast<SHORT>(info.srWindow.Top + row)};
    SetConsoleCursorPosition(out_handle(), pos);
}

void con_out_show_cursor(bool visible) {
    CONSOLE_CURSOR_INFO info;
    if (!GetConsoleCursorInfo(out_handle(), &info)) return;
    info.bVisible = visible ? TRUE : FALSE;
    SetConsoleCursorInfo(out_handle(), &info);
}

void con_out_write(const char* text, int32_t len) {
    if (len <= 0) return;
    DWORD done = 0;
    HANDLE h = out_handle();
    if (h == INVALID_HANDLE_VALUE || h == nullptr) return;
    if (!WriteConsoleA(h, text, static_cast<DWORD>(len), &done, nullptr))
        WriteFile(h, text, static_cast<DWORD>(len), &done, nullptr);
}

void con_out_beep() {
    MessageBeep(0xFFFFFFFF);
}
