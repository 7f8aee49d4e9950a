#include <float.h>
#include <windows.h>

#include "runtime/sys.h"

void sys_fpu_init() {
    _controlfp(0, 0x30300);
    // 64-bit CRTs set only the SSE unit and ignore precision control, yet long
    // double still computes on the x87 unit: set its control word directly.
    uint16_t cw = static_cast<uint16_t>((sys_fpu_control_word() & ~0x0F00u) | 0x0300u);
    __asm__ __volatile__("fldcw %0" : : "m"(cw));
}

uint16_t sys_fpu_control_word() {
    uint16_t cw;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    return cw;
}

void* sys_sem_create() {
    return CreateSemaphoreA(nullptr, 1, 1, nullptr);
}
void sys_sem_destroy(void* sem) {
    CloseHandle(sem);
}
void sys_sem_wait(void* sem) {
    WaitForSingleObject(sem, INFINITE);
}
void sys_sem_post(void* sem) {
    ReleaseSemaphore(sem, 1, nullptr);
}

int32_t sys_exe_path(char* buffer, int32_t size) {
    if (size <= 0) return 0;
    DWORD n = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, static_cast<DWORD>(size));
    if (n >= static_cast<DWORD>(size)) n = static_cast<DWORD>(size - 1);
    buffer[n] = '\0';
    return static_cast<int32_t>(n);
}

int64_t sys_perf_frequency() {
    LARGE_INTEGER f;
    if (!QueryPerformanceFrequency(&f)) return 0;
    return f.QuadPart;
}

int64_t sys_perf_counter() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

uint32_t sys_tick_count() {
    return GetTickCount();
}

void sys_sleep_ms(int32_t ms) {
    Sleep(ms < 0 ? 0 : static_cast<DWORD>(ms));
}

void* sys_lib_load(const char* name) {
    return reinterpret_cast<void*>(LoadLibraryA(name));
}

void* sys_lib_symbol(void* lib, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}

void sys_lib_free(void* lib) {
    FreeLibrary(static_cast<HMODULE>(lib));
}

bool sys_lib_is_loaded(const char* name) {
    return GetModuleHandleA(name) != nullptr;
}

int32_t sys_ansi_code_page() {
    return static_cast<int32_t>(GetACP());
}

int32_t sys_char_to_unicode(int32_t cp, uint8_t ch) {
    char in = static_cast<char>(ch);
    wchar_t out = 0;
    if (MultiByteToWideChar(static_cast<UINT>(cp), 0, &in, 1, &out, 1) != 1) return -1;
    return out;
}
