// The runtime core: start-up and shutdown, the console hooks, the error
// number, context slots, mutexes, the timer, run-time library loading, random
// numbers, the text view rows and the small string plumbing of the key reads.
#pragma once

#include <cstddef>
#include <cstdint>

// A runtime string. Temporary strings (results of key reads, zq_CHR) are
// released by the call that consumes them, e.g. zq_StrCompare.
struct ZqString {
    char* data;  // len bytes plus a terminating 0
    int32_t len;
    int32_t size;  // bytes allocated for data
    int32_t temp;  // non-zero for a temporary string
};

// The console operations a graphics screen takes over. A NULL slot means the
// text console does the operation.
struct ConsoleHooks {
    ZqString* (*hook_inkey)();
    int32_t (*hook_getkey)();
    int32_t (*hook_keyhit)();
    int32_t (*hook_cls)(int32_t mode);
    int32_t (*hook_color)(int32_t fg, int32_t bg, int32_t flags);
    int32_t (*hook_locate)(int32_t row, int32_t col, int32_t cursor);
    int32_t (*hook_width)(int32_t cols, int32_t rows);
    int32_t (*hook_getx)();
    int32_t (*hook_gety)();
    void (*hook_getxy)(int32_t* col, int32_t* row);
    void (*hook_getsize)(int32_t* cols, int32_t* rows);
    int32_t (*hook_print_buffer)(const char* text, int32_t len, int32_t mask);
    int32_t (*hook_print_buffer_wstr)(const char16_t* text, int32_t len, int32_t mask);
    char* (*hook_read_str)(char* buffer, int32_t max_len);
    int32_t (*hook_multikey)(int32_t scan_code);
    int32_t (*hook_get_mouse)(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons);
    int32_t (*hook_set_mouse)(int32_t x, int32_t y, int32_t cursor);
    int32_t (*hook_in)(uint16_t port);
    int32_t (*hook_out)(uint16_t port, uint8_t value);
    void (*hook_view_update)();
    int32_t (*hook_line_input)(ZqString* prompt, void* dst, int32_t dst_size, int32_t fill_rest,
                               int32_t add_question, int32_t add_newline);
    int32_t (*hook_line_input_wstr)(const char16_t* prompt, char16_t* dst, int32_t dst_chars,
                                    int32_t add_question, int32_t add_newline);
    int32_t (*hook_read_xy)(int32_t col, int32_t row, int32_t colour_flag);
    void (*hook_sleep)(int32_t ms);
    int32_t (*hook_is_redir)(int32_t is_input);
};

inline constexpr int ZQ_HOOK_COUNT = 25;
static_assert(sizeof(ConsoleHooks) == ZQ_HOOK_COUNT * sizeof(void*));

// One entry of the file table; entry 0 is the text device.
struct RtFileDevice {
    int32_t opened;
    int32_t print_col;  // 0-based column of the next printed character
    int32_t width;      // text width, 0 until the device is set up
};

inline constexpr int ZQ_MAX_FILES = 16;
inline constexpr int ZQ_CTX_SLOTS = 5;

struct RtContext {
    int32_t argc;
    char** argv;
    int32_t temp_strings;  // temporary strings not yet released
    ConsoleHooks hooks;
    void* ctx_slots[ZQ_CTX_SLOTS];
    RtFileDevice files[ZQ_MAX_FILES];
    int32_t file_opened;
    int32_t lang;
};

extern RtContext __zq_ctx;

// Start-up and shutdown. The constructor and destructor have C names so that
// the build can make every program linked with the library take them in.
extern "C" void zq_hDoInit();
void zq_hRtInit();
void zq_hInit();
void zq_Init(int32_t argc, char** argv, int32_t lang);
[[noreturn]] void zq_End(int32_t status);
extern "C" void zq_hDoExit();
void zq_hRtExit();
void zq_FileReset();
void zq_hEnd();
int32_t zq_hRtInitCount();  // calls of zq_hRtInit not yet matched by zq_hRtExit

// Hooked console operations.
ZqString* zq_Inkey();
int32_t zq_Getkey();
int32_t zq_KeyHit();
int32_t zq_Cls(int32_t mode);
int32_t zq_Width(int32_t cols, int32_t rows);
int32_t zq_LocateEx(int32_t row, int32_t col, int32_t cursor, int32_t* out);
int32_t zq_Locate(int32_t row, int32_t col, int32_t cursor, int32_t unused1, int32_t unused2);
int32_t zq_GetX();
void zq_GetXY(int32_t* col, int32_t* row);
void zq_GetSize(int32_t* cols, int32_t* rows);
int32_t zq_PrintBufferEx(const char* text, int32_t len, int32_t mask);
int32_t zq_PrintBufferWstrEx(const char16_t* text, int32_t len, int32_t mask);
void zq_ViewUpdate();
void zq_Sleep(int32_t ms);
void zq_Delay(int32_t ms);
void zq_SetPos(int32_t col);  // the text device's print column, 0-based
void zq_Beep();

// Error record, kept in context slot 0.
struct ErrorContext {
    int32_t reserved0;
    int32_t err_num;
    int32_t line_num;
    const char* mod_name;
    const char* fun_name;
    int32_t reserved1;
    int32_t reserved2;
};

int32_t zq_ErrorSetNum(int32_t n);
int32_t zq_ErrorGetNum();
int32_t zq_ErrorGetLineNum();
const char* zq_ErrorGetModName();
const char* zq_ErrorGetFuncName();
const char* zq_ErrorSetModName(const char* name);
const char* zq_ErrorSetFuncName(const char* name);

// Process-wide context slots 0 to 4.
void* zq_TlsGetCtx(int32_t index, size_t size);
void zq_TlsDelCtx(int32_t index);
void zq_TlsFreeCtxTb();

// Binary-semaphore mutexes: not re-entrant, any thread may unlock.
struct ZqMutex;
ZqMutex* zq_MutexCreate();
void zq_MutexDestroy(ZqMutex* m);
void zq_MutexLock(ZqMutex* m);
void zq_MutexUnlock(ZqMutex* m);

// Other services.
char* zq_hGetExeName(char* buffer, int32_t size);
double zq_Timer();
void* zq_hDynLoad(const char* lib_name, const char* const* names, void** table);
int32_t zq_hDynLoadAlso(void* lib, const char* const* names, void** table, int32_t count);
void zq_hDynUnload(void** lib);

// Strings.
ZqString* zq_StrAllocTemp(int32_t len);
void zq_StrDelTemp(ZqString* s);
ZqString* zq_CHR(int32_t count, ...);
// Compares two strings; a size of -1 marks a ZqString descriptor (temporary
// ones are released), any other size a plain buffer of that many bytes.
int32_t zq_StrCompare(const void* s1, ptrdiff_t s1_size, const void* s2, ptrdiff_t s2_size);

// String assignment. A size of -1 marks a ZqString (a source one is released
// when temporary); any other source size a buffer of that many bytes ending
// at its first 0. A fixed destination of dst_size bytes gets at most
// dst_size - 1 bytes and a terminating 0; fill_rest zeroes all the bytes
// after the text. A string variable's data is grown with the C allocator.
void* zq_StrAssign(void* dst, ptrdiff_t dst_size, const void* src, ptrdiff_t src_size,
                   int32_t fill_rest);
// Frees a string variable's data and empties it (temporary strings are left).
void zq_StrDelete(ZqString* s);
// Copies 8-bit text into a 16-bit buffer of dst_chars units, byte for unit,
// cut to dst_chars - 1 units and terminated.
char16_t* zq_WstrAssignFromA(char16_t* dst, int32_t dst_chars, const void* src, ptrdiff_t src_size);

// Printing to a file (0: the text device, the only one printed to so far). A
// mask with ZQ_PRINT_NEWLINE ends the line after the text.
inline constexpr int32_t ZQ_PRINT_NEWLINE = 1;
void zq_PrintVoid(int32_t file_num, int32_t mask);
void zq_PrintFixString(int32_t file_num, const char* text, int32_t mask);
void zq_PrintString(int32_t file_num, ZqString* s, int32_t mask);  // releases a temporary s
void zq_PrintWstr(int32_t file_num, const char16_t* text, int32_t mask);

// Random numbers.
double zq_Rnd(int32_t n);
void zq_Randomize(double seed, int32_t algorithm);

// Text view rows.
int32_t zq_ConsoleGetTopRow();
int32_t zq_ConsoleGetBotRow();
void zq_ConsoleSetTopBotRows(int32_t top, int32_t bottom);
void zq_ConsoleGetView(int32_t* top, int32_t* bottom);
int32_t zq_ConsoleViewEx(int32_t top, int32_t bottom, int32_t locate);
int32_t zq_ConsoleView(int32_t top, int32_t bottom);
