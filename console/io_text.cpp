// The text console's output: size, clear, cursor placement and printing. The
// cursor is tracked here so that position queries work on any output, a
// terminal or not.
#include <cstdlib>

#include "console/con_out.h"
#include "console/zq_console.h"

namespace {
struct ConsoleText {
    bool ready;
    int32_t cols, rows;
    int32_t row, col;  // 0-based cursor
};
ConsoleText con;

ConsoleText& text() {
    if (!con.ready) {
        con.ready = true;
        if (!con_out_size(&con.cols, &con.rows)) {
            con.cols = 80;
            con.rows = 25;
        }
    }
    return con;
}

void next_line(ConsoleText& c) {
    c.col = 0;
    int32_t bottom = zq_ConsoleGetBotRow();
    if (c.row < bottom || bottom < 0) ++c.row;
}

void advance(ConsoleText& c, unsigned char ch) {
    switch (ch) {
        case '\n':
            next_line(c);
            break;
        case '\r':
            c.col = 0;
            break;
        case '\b':
            if (c.col > 0) --c.col;
            break;
        case '\t':
            c.col = (c.col + 8) & ~7;
            break;
        default:
            ++c.col;
            break;
    }
    if (c.col >= c.cols) next_line(c);
}
}  // namespace

void zq_hConsoleDevInit() {
    RtFileDevice& dev = __zq_ctx.files[0];
    if (dev.opened) return;
    dev.opened = 1;
    if (dev.width <= 0) dev.width = text().cols;
}

int32_t zq_ConsoleClear(int32_t) {
    ConsoleText& c = text();
    con_out_clear();
    c.row = 0;
    c.col = 0;
    return 0;
}

int32_t zq_ConsoleLocate(int32_t row, int32_t col, int32_t cursor) {
    ConsoleText& c = text();
    if (row > 0) c.row = row - 1;
    if (col > 0) c.col = col - 1;
    if (row > 0 || col > 0) con_out_move(c.row, c.col);
    if (cursor >= 0) con_out_show_cursor(cursor != 0);
    return (((c.row & 0xFF) << 8) | (c.col & 0xFF)) + 0x101;
}

int32_t zq_ConsoleWidth(int32_t cols, int32_t rows) {
    ConsoleText& c = text();
    int32_t old = (c.rows << 16) | c.cols;
    if (cols > 0) c.cols = cols;
    if (rows > 0) c.rows = rows;
    if (cols > 0 || rows > 0) con_out_resize(c.cols, c.rows);
    if (c.col >= c.cols) c.col = c.cols - 1;
    if (c.row >= c.rows) c.row = c.rows - 1;
    return old;
}

int32_t zq_ConsoleGetX() {
    return text().col + 1;
}

void zq_ConsoleGetXY(int32_t* col, int32_t* row) {
    if (col) *col = text().col + 1;
    if (row) *row = text().row + 1;
}

void zq_ConsoleGetSize(int32_t* cols, int32_t* rows) {
    if (cols) *cols = text().cols;
    if (rows) *rows = text().rows;
}

int32_t zq_ConsolePrintBufferEx(const char* chars, int32_t len, int32_t) {
    if (!chars || len <= 0) return 0;
    ConsoleText& c = text();
    con_out_write(chars, len);
    for (int32_t i = 0; i < len; ++i) advance(c, static_cast<unsigned char>(chars[i]));
    return 0;
}

int32_t zq_ConsolePrintBufferWstrEx(const char16_t* chars, int32_t len, int32_t mask) {
    if (!chars || len <= 0) return 0;
    char* narrow = static_cast<char*>(std::malloc(static_cast<size_t>(len)));
    if (!narrow) return 1;
    for (int32_t i = 0; i < len; ++i)
        narrow[i] = chars[i] < 256 ? static_cast<char>(chars[i]) : '?';
    int32_t r = zq_ConsolePrintBufferEx(narrow, len, mask);
    std::free(narrow);
    return r;
}

// The console prints wherever the cursor is; the view rows only limit scrolling.
void zq_ConsoleViewUpdate() {}

void zq_Beep() {
    con_out_beep();
}
