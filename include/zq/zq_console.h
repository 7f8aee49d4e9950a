/// \file zq_console.h
/// The text console: what the runtime's console calls (zq_Inkey, zq_Cls,
/// zq_Locate, ...) do while no graphics screen is open. Programs normally use
/// those calls; these reach the console directly even while a screen is open.
#pragma once

#include <cstdint>

#include "zq/zq_rt.h"

/// The oldest console key as a temporary string without waiting ("", one
/// character, or 0xFF then the scan code).
ZqString* zq_ConsoleInkey();
/// Waits for a console key and returns its code (character, or
/// (scan code << 8) | 0xFF).
int32_t zq_ConsoleGetkey();
/// Non-zero while a console key is waiting; removes nothing.
int32_t zq_ConsoleKeyHit();
/// Clears the whole console and puts the cursor at the top left; returns 0.
int32_t zq_ConsoleClear(int32_t mode);
/// Moves the console cursor to 1-based row, col (0 keeps one) and shows (1)
/// or hides (0) it; returns the position as ((row - 1) << 8 | (col - 1)) + 0x101.
int32_t zq_ConsoleLocate(int32_t row, int32_t col, int32_t cursor);
/// Sets the console to cols x rows (0 or below keeps one); returns the old
/// size as (rows << 16) | cols.
int32_t zq_ConsoleWidth(int32_t cols, int32_t rows);
/// The console cursor's 1-based column.
int32_t zq_ConsoleGetX();
/// The console cursor's 1-based column and row; either pointer may be null.
void zq_ConsoleGetXY(int32_t* col, int32_t* row);
/// The console's size in character cells; either pointer may be null.
void zq_ConsoleGetSize(int32_t* cols, int32_t* rows);
/// Prints `len` bytes at the console cursor within the text view rows; returns 0.
int32_t zq_ConsolePrintBufferEx(const char* text, int32_t len, int32_t mask);
/// Prints `len` 16-bit characters at the console cursor; returns 0.
int32_t zq_ConsolePrintBufferWstrEx(const char16_t* text, int32_t len, int32_t mask);
/// Tells the console that the text view rows changed.
void zq_ConsoleViewUpdate();
/// Sleeps `ms` milliseconds, ending early on a console key; -1 waits for one.
void zq_ConsoleSleep(int32_t ms);
/// Reads one edited line (Left, Right, Home, End, Insert, Delete, Backspace,
/// Escape clears) echoed at the cursor: a temporary string without the
/// Enter, or null when no line could be read (no keys, or the close key).
ZqString* zq_ConReadLine();
