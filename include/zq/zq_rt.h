/// \file zq_rt.h
/// The runtime every program stands on: start and end, the error number,
/// strings, printing and key reads on whatever screen is open, random numbers,
/// the timer, sleeping, mutexes, context slots and run-time library loading.
///
/// Failures: a call that fails stores an error number (zq_ErrorGetNum) and
/// returns it; 0 means success.
#pragma once

#include <cstddef>
#include <cstdint>

/// A runtime string. Temporary strings (results of key reads, zq_CHR) are
/// released by the call that consumes them, e.g. zq_StrCompare or
/// zq_PrintString.
struct ZqString {
    char* data;    ///< len bytes plus a terminating 0
    int32_t len;   ///< length in bytes
    int32_t size;  ///< bytes allocated for data
    int32_t temp;  ///< non-zero for a temporary string
};

/// A binary-semaphore mutex: not re-entrant, any thread may unlock it.
struct ZqMutex;

/// Keeps the program's arguments and language dialect (0); call first in main.
void zq_Init(int32_t argc, char** argv, int32_t lang);
/// Ends the program with exit status `status`, closing any graphics screen.
[[noreturn]] void zq_End(int32_t status);

/// The key code of the window's close button (and of Alt+F4): the extended
/// key with scan code 0x6B.
inline constexpr int32_t ZQ_KEY_CLOSE = 0x6BFF;

/// Reads one key without waiting: "" when none, one character, or 0xFF then
/// the scan code for an extended key (a temporary string).
ZqString* zq_Inkey();
/// Waits for a key and returns its code (character, or scan code << 8 | 0xFF).
int32_t zq_Getkey();
/// Non-zero while a key is waiting; removes nothing.
int32_t zq_KeyHit();
/// Clears the screen: 0 whole screen, 1 view, 2 text area; returns 0.
int32_t zq_Cls(int32_t mode);
/// Sets the text grid to cols x rows (0 or below keeps one); with both 0 or
/// below returns the size as (rows << 16) | cols, otherwise 0.
int32_t zq_Width(int32_t cols, int32_t rows);
/// Moves the text cursor to 1-based row, col (0 keeps one) and shows (1) or
/// hides (0) it; *out gets the new position; 0, or error 1 for a position
/// outside the text view.
int32_t zq_LocateEx(int32_t row, int32_t col, int32_t cursor, int32_t* out);
/// zq_LocateEx that falls back to changing only the cursor when the position
/// is refused; returns the position as ((row - 1) << 8 | (col - 1)) + 0x101.
int32_t zq_Locate(int32_t row, int32_t col, int32_t cursor, int32_t unused1, int32_t unused2);
/// The text cursor's 1-based column.
int32_t zq_GetX();
/// The text cursor's 1-based column and row; either pointer may be null.
void zq_GetXY(int32_t* col, int32_t* row);
/// The text grid size in character cells; either pointer may be null.
void zq_GetSize(int32_t* cols, int32_t* rows);
/// Prints `len` bytes of code page 437 text at the cursor; returns 0.
int32_t zq_PrintBufferEx(const char* text, int32_t len, int32_t mask);
/// Prints `len` 16-bit characters at the cursor (each cut to 8 bits); returns 0.
int32_t zq_PrintBufferWstrEx(const char16_t* text, int32_t len, int32_t mask);
/// Tells the screen that the text view rows changed.
void zq_ViewUpdate();
/// Sleeps `ms` milliseconds, ending early when a key arrives; -1 waits for a key.
void zq_Sleep(int32_t ms);
/// Sleeps `ms` milliseconds, whatever the keyboard does.
void zq_Delay(int32_t ms);
/// Sets the 0-based column of the next character printed to the text device.
void zq_SetPos(int32_t col);
/// Sounds the system's beep.
void zq_Beep();

/// Stores `n` as the error number and returns it.
int32_t zq_ErrorSetNum(int32_t n);
/// The error number of the last call that set one (0 after success).
int32_t zq_ErrorGetNum();
/// The line number kept with the error (0 unless a program sets one).
int32_t zq_ErrorGetLineNum();
/// The module name kept with the error, or null.
const char* zq_ErrorGetModName();
/// The function name kept with the error, or null.
const char* zq_ErrorGetFuncName();
/// Keeps `name` as the module name for errors; returns the previous one.
const char* zq_ErrorSetModName(const char* name);
/// Keeps `name` as the function name for errors; returns the previous one.
const char* zq_ErrorSetFuncName(const char* name);

/// The process-wide block in slot `index` (0 to 4; the runtime uses 0 and 4),
/// allocated zero-filled with `size` bytes on first use.
void* zq_TlsGetCtx(int32_t index, size_t size);
/// Frees the block in slot `index`, if any.
void zq_TlsDelCtx(int32_t index);
/// Frees the blocks of all five slots.
void zq_TlsFreeCtxTb();

/// A new unlocked mutex, or null when memory runs out.
ZqMutex* zq_MutexCreate();
/// Destroys a mutex; null is ignored.
void zq_MutexDestroy(ZqMutex* m);
/// Waits until the mutex is free and takes it; null is ignored.
void zq_MutexLock(ZqMutex* m);
/// Frees the mutex (any thread may); null is ignored.
void zq_MutexUnlock(ZqMutex* m);

/// Seconds since an arbitrary start, from the finest clock the system has.
double zq_Timer();

/// Loads the shared library `lib_name` and resolves the null-ended `names`
/// into `table`; the library handle, or null (library unloaded) when the
/// library or any name is missing.
void* zq_hDynLoad(const char* lib_name, const char* const* names, void** table);
/// Resolves the first `count` names of a loaded library into `table`; 0, or
/// -1 at the first missing name.
int32_t zq_hDynLoadAlso(void* lib, const char* const* names, void** table, int32_t count);
/// Unloads the library whose handle `*lib` holds and sets it to null.
void zq_hDynUnload(void** lib);

/// A temporary string of `len` bytes (contents undefined, terminated), or null.
ZqString* zq_StrAllocTemp(int32_t len);
/// Releases a temporary string; other strings are left alone.
void zq_StrDelTemp(ZqString* s);
/// A temporary string of `count` characters given as int32_t codes 0 to 255.
ZqString* zq_CHR(int32_t count, ...);
/// Compares two strings like memcmp (<0, 0, >0); a size of -1 marks a
/// ZqString (released when temporary), any other size a buffer of that many
/// bytes ending at its first 0.
int32_t zq_StrCompare(const void* s1, ptrdiff_t s1_size, const void* s2, ptrdiff_t s2_size);
/// Assigns `src` to `dst` (sizes as for zq_StrCompare; a fixed `dst` keeps at
/// most dst_size - 1 bytes, zero-filled after the text when `fill_rest`);
/// returns dst.
void* zq_StrAssign(void* dst, ptrdiff_t dst_size, const void* src, ptrdiff_t src_size,
                   int32_t fill_rest);
/// Frees a string variable's data and empties it (temporary strings are left).
void zq_StrDelete(ZqString* s);
/// Copies 8-bit text into a 16-bit buffer of `dst_chars` units, cut to
/// dst_chars - 1 and terminated; returns dst.
char16_t* zq_WstrAssignFromA(char16_t* dst, int32_t dst_chars, const void* src, ptrdiff_t src_size);

/// Print mask bit: end the line after the text.
inline constexpr int32_t ZQ_PRINT_NEWLINE = 1;
/// Prints nothing, ending the line when `mask` has ZQ_PRINT_NEWLINE (file 0:
/// the screen).
void zq_PrintVoid(int32_t file_num, int32_t mask);
/// Prints 0-terminated text to file `file_num` (0: the screen).
void zq_PrintFixString(int32_t file_num, const char* text, int32_t mask);
/// Prints a runtime string to file `file_num` (0: the screen); releases a
/// temporary one.
void zq_PrintString(int32_t file_num, ZqString* s, int32_t mask);
/// Prints 0-terminated 16-bit text to file `file_num` (0: the screen).
void zq_PrintWstr(int32_t file_num, const char16_t* text, int32_t mask);

/// A random number in [0, 1): the next one, or for n = 0 the last one again.
/// Unseeded runs repeat the same sequence.
double zq_Rnd(int32_t n);
/// Chooses generator `algorithm` (0 the default, 1 C library, 2 fast
/// congruential, 3 Mersenne Twister, 4 24-bit congruential) seeded with
/// `seed`; seed -1 takes the timer.
void zq_Randomize(double seed, int32_t algorithm);

/// The text view's first row, 0-based.
int32_t zq_ConsoleGetTopRow();
/// The text view's last row, 0-based.
int32_t zq_ConsoleGetBotRow();
/// Sets the text view rows without any other effect (0-based; -1, -1: unset).
void zq_ConsoleSetTopBotRows(int32_t top, int32_t bottom);
/// The text view's first and last row, 1-based; either pointer may be null.
void zq_ConsoleGetView(int32_t* top, int32_t* bottom);
/// Limits printing and scrolling to rows `top` to `bottom` (1-based; 0, 0 the
/// whole screen); the cursor goes to the view's first row when `locate`;
/// returns (bottom << 16) | top of the view now, 0 for bad rows.
int32_t zq_ConsoleViewEx(int32_t top, int32_t bottom, int32_t locate);
/// zq_ConsoleViewEx that always places the cursor.
int32_t zq_ConsoleView(int32_t top, int32_t bottom);
