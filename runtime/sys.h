// The kernel services the runtime needs, one implementation per platform
// (sys_win32.cpp, sys_posix.cpp).
#pragma once

#include <cstdint>

// Round to nearest, 64-bit significand.
void sys_fpu_init();
// Reads the x87 control word (for tests of the start-up settings).
uint16_t sys_fpu_control_word();

// Binary semaphore: initial count 1, maximum 1. NULL on failure.
void* sys_sem_create();
void sys_sem_destroy(void* sem);
void sys_sem_wait(void* sem);
void sys_sem_post(void* sem);

// Full path of the running executable; the number of characters written
// (terminated, cut to fit size).
int32_t sys_exe_path(char* buffer, int32_t size);

// Performance counter; sys_perf_frequency returns 0 when there is none.
int64_t sys_perf_frequency();
int64_t sys_perf_counter();
// Milliseconds since some start, wrapping at 2^32.
uint32_t sys_tick_count();

void sys_sleep_ms(int32_t ms);

void* sys_lib_load(const char* name);
void* sys_lib_symbol(void* lib, const char* name);
void sys_lib_free(void* lib);
// Whether the named library is loaded in the process now (for tests).
bool sys_lib_is_loaded(const char* name);

// The system's ANSI code page (1252 where the system has no such setting).
int32_t sys_ansi_code_page();
// The Unicode value of byte ch in single-byte code page cp; -1 when the
// system cannot say.
int32_t sys_char_to_unicode(int32_t cp, uint8_t ch);
