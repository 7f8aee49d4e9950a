// The text console: what the hooked console operations do while no graphics
// screen is open.
#pragma once

#include <cstdint>

#include "runtime/zq_rt.h"

ZqString* zq_ConsoleInkey();
int32_t zq_ConsoleGetkey();
int32_t zq_ConsoleKeyHit();
int32_t zq_ConsoleClear(int32_t mode);
int32_t zq_ConsoleLocate(int32_t row, int32_t col, int32_t cursor);
int32_t zq_ConsoleWidth(int32_t cols, int32_t rows);
int32_t zq_ConsoleGetX();
void zq_ConsoleGetXY(int32_t* col, int32_t* row);
void zq_ConsoleGetSize(int32_t* cols, int32_t* rows);
int32_t zq_ConsolePrintBufferEx(const char* text, int32_t len, int32_t mask);
int32_t zq_ConsolePrintBufferWstrEx(const char16_t* text, int32_t len, int32_t mask);
void zq_ConsoleViewUpdate();
void zq_ConsoleSleep(int32_t ms);

// The oldest console key (-1 when none); `remove` takes it out of the buffer.
int32_t zq_hConsoleGetKeyEx(int32_t whole, int32_t remove);
// Non-zero once when console input arrived since the last call.
int32_t zq_hConsoleInputBufferChanged();
// Makes sure the text device (file table entry 0) is set up.
void zq_hConsoleDevInit();

// Reads one line from the keyboard with editing (Left, Right, Home, End,
// Insert, Delete, Backspace, Escape clears), echoed at the cursor. Returns a
// temporary string without the Enter, or NULL when no line could be read (no
// key source, or the window's close key).
ZqString* zq_ConReadLine();
