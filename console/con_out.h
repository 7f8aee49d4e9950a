// Platform side of the text console's output (con_out_win32.cpp,
// con_out_posix.cpp). Rows and columns are 0-based. Every function must be
// harmless when the output is not a terminal.
#pragma once

#include <cstdint>

// Current size of the console; false when it cannot be asked.
bool con_out_size(int32_t* cols, int32_t* rows);
void con_out_resize(int32_t cols, int32_t rows);
void con_out_clear();
void con_out_move(int32_t row, int32_t col);
void con_out_show_cursor(bool visible);
void con_out_write(const char* text, int32_t len);
// The system's alert sound.
void con_out_beep();
