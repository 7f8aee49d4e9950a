#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "runtime/sys.h"

void sys_fpu_init() {
    // Precision control 11 (64-bit significand), rounding control 00 (nearest):
    // the same fields _controlfp(0, 0x30300) sets on Windows.
    uint16_t cw = sys_fpu_control_word();
    cw = static_cast<uint16_t>((cw & ~0x0F00u) | 0x0300u);
    __asm__ __volatile__("fldcw %0" : : "m"(cw));
}

uint16_t sys_fpu_control_word() {
    uint16_t cw;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    return cw;
}

namespace {
// A counting semaphore capped at 1, like a Win32 semaphore of maximum count 1:
// a release while the count is already 1 changes nothing.
struct BinarySemaphore {
    pthread_mutex_t mutex;
    pthread_cond_t cond;
    int count;
};
}  // namespace

void* sys_sem_create() {
    auto* sem = static_cast<BinarySemaphore*>(std::malloc(sizeof(BinarySemaphore)));
    if (!sem) return nullptr;
    pthread_mutex_init(&sem->mutex, nullptr);
    pthread_cond_init(&sem->cond, nullptr);
    sem->count = 1;
    return sem;
}

void sys_sem_destroy(void* handle) {
    auto* sem = static_cast<BinarySemaphore*>(handle);
    pthread_cond_destroy(&sem->cond);
    pthread_mutex_destroy(&sem->mutex);
    std::free(sem);
}

void sys_sem_wait(void* handle) {
    auto* sem = static_cast<BinarySemaphore*>(handle);
    pthread_mutex_lock(&sem->mutex);
    while (sem->count == 0) pthread_cond_wait(&sem->cond, &sem->mutex);
    sem->count = 0;
    pthread_mutex_unlock(&sem->mutex);
}

void sys_sem_post(void* handle) {
    auto* sem = static_cast<BinarySemaphore*>(handle);
    pthread_mutex_lock(&sem->mutex);
    sem->count = 1;
    pthread_cond_signal(&sem->cond);
    pthread_mutex_unlock(&sem->mutex);
}

int32_t sys_exe_path(char* buffer, int32_t size) {
    if (size <= 0) return 0;
    ssize_t n = readlink("/proc/self/exe", buffer, static_cast<size_t>(size - 1));
    if (n < 0) n = 0;
    buffer[n] = '\0';
    return static_cast<int32_t>(n);
}

int64_t sys_perf_frequency() {
    return 1000000000;
}

int64_t sys_perf_counter() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

uint32_t sys_tick_count() {
    return static_cast<uint32_t>(sys_perf_counter() / 1000000);
}

void sys_sleep_ms(int32_t ms) {
    if (ms <= 0) {
        sched_yield();
        return;
    }
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void* sys_lib_load(const char* name) {
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}
void* sys_lib_symbol(void* lib, const char* name) {
    return dlsym(lib, name);
}
void sys_lib_free(void* lib) {
    dlclose(lib);
}

bool sys_lib_is_loaded(const char* name) {
    void* lib = dlopen(name, RTLD_NOW | RTLD_NOLOAD);
    if (!lib) return false;
    dlclose(lib);
    return true;
}

int32_t sys_ansi_code_page() {
    return 1252;
}

int32_t sys_char_to_unicode(int32_t, uint8_t) {
    return -1;
}
