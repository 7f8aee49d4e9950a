// The runtime core's private records: the console hooks, the runtime
// context, the error record and start-up internals. Programs use the public
// header zq/zq_rt.h, which this one includes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zq/zq_rt.h"

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
extern "C" void zq_hDoExit();
void zq_hRtExit();
void zq_FileReset();
void zq_hEnd();
int32_t zq_hRtInitCount();  // calls of zq_hRtInit not yet matched by zq_hRtExit

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

// Other services.
char* zq_hGetExeName(char* buffer, int32_t size);
