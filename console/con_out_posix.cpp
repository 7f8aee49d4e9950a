#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include "console/con_out.h"

namespace {
bool is_terminal() {
    return isatty(STDOUT_FILENO) == 1;
}

void write_all(const char* text, size_t len) {
    while (len > 0) {
        ssize_t n = write(STDOUT_FILENO, text, len);
        if (n <= 0) return;
        text += n;
        len -= static_cast<size_t>(n);
    }
}

void write_sequence(const char* seq) {
    if (!is_terminal()) return;
    size_t len = 0;
    while (seq[len]) ++len;
    write_all(seq, len);
}
}  // namespace

bool con_out_size(int32_t* cols, int32_t* rows) {
    winsize ws{};
    if (!is_terminal() || ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0)
        return false;
    *cols = ws.ws_col;
    *rows = ws.ws_row;
    return true;
}

// Terminals cannot be resized by the program; the runtime keeps the size.
void con_out_resize(int32_t, int32_t) {}

void con_out_clear() {
    write_sequence("\x1b[2J\x1b[H");
}

void con_out_move(int32_t row, int32_t col) {
    char seq[32];
    std::snprintf(seq, sizeof seq, "\x1b[%d;%dH", row + 1, col + 1);
    write_sequence(seq);
}

void con_out_show_cursor(bool visible) {
    write_sequence(visible ? "\x1b[?25h" : "\x1b[?25l");
}

void con_out_write(const char* text, int32_t len) {
    if (len > 0) write_all(text, static_cast<size_t>(len));
}

void con_out_beep() {
    write_sequence("\a");
}
