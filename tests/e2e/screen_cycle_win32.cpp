// Opens and closes a screen (mode 18, 32 bits; GDI unless told) many times in one process
// and checks that nothing is left behind: threads, handles, top-level windows,
// loaded modules, C heap blocks and private memory are compared before and
// after.
//
//   screen_cycle [CYCLES [DRIVER [FLAGS]]]   prints one line per measure, exits
//                                            0 when clean; DRIVER defaults to
//                                            GDI, FLAGS (the screen's) to 0
#include <windows.h>
// After windows.h:
#include <malloc.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/gfx_internal.h"

namespace {
struct Usage {
    long threads = 0;
    long handles = 0;
    long windows = 0;
    long modules = 0;
    long long heap_bytes = 0;
    long long private_bytes = 0;
};

long count_threads() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    long n = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry)) {
        n += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    CloseHandle(snap);
    return n;
}

// Libraries the drivers load at run time must be freed again: their count
// comes back to where it was.
long count_modules() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snap == INVALID_HANDLE_VALUE) return -1;
    long n = 0;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snap, &entry); more; more = Module32Next(snap, &entry)) ++n;
    CloseHandle(snap);
    return n;
}

BOOL CALLBACK count_own_window(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    *reinterpret_cast<long*>(count) += pid == GetCurrentProcessId();
    return TRUE;
}

long count_windows() {
    long n = 0;
    EnumWindows(count_own_window, reinterpret_cast<LPARAM>(&n));
    return n;
}

// Handles by trial: GetProcessHandleCount gives 0 under Wine. Kernel handle
// values are multiples of 4, handed out from the bottom of the table.
long count_handles() {
    long n = 0;
    for (uintptr_t value = 4; value < 0x8000; value += 4) {
        DWORD flags = 0;
        n += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != 0;
    }
    return n;
}

// Committed private memory, region by region (Wine leaves the private usage
// of GetProcessMemoryInfo at 0).
long long private_bytes() {
    long long total = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
         at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += static_cast<long long>(info.RegionSize);
        if (info.RegionSize == 0) break;
    }
    return total;
}

long long heap_in_use() {
    _HEAPINFO info{};
    long long used = 0;
    int status;
    while ((status = _heapwalk(&info)) == _HEAPOK) {
        if (info._useflag == _USEDENTRY) used += static_cast<long long>(info._size);
    }
    return status == _HEAPEND ? used : -1;
}

Usage measure() {
    Usage u;
    u.threads = count_threads();
    u.handles = count_handles();
    u.windows = count_windows();
    u.modules = count_modules();
    u.heap_bytes = heap_in_use();
    u.private_bytes = private_bytes();
    return u;
}

// A thread that has been told to stop may take a moment to be gone; give the
// counts that much time to come back before calling anything a leak.
bool settled(const Usage& base, Usage* now) {
    for (int i = 0; i < 100; ++i) {
        *now = measure();
        if (now->threads <= base.threads && now->windows <= base.windows &&
            now->handles <= base.handles)
            return true;
        Sleep(20);
    }
    return false;
}

// One open-draw-close cycle; false when the screen did not open on the driver.
bool cycle(const char* driver, int32_t flags) {
    if (zq_GfxScreen(18, 32, 0, flags, 0) != 0 || !__zq_gfx) return false;
    bool on_driver = std::strcmp(__zq_gfx->driver->name, driver) == 0;
    zq_GfxLine(nullptr, 0, 0, 639, 479, 0xFFFFFFFFu, 0, 0xFFFF, 0);
    if (__zq_gfx->driver->flip) __zq_gfx->driver->flip();
    if (__zq_gfx->driver->poll_events) __zq_gfx->driver->poll_events();
    zq_GfxWaitVSync();
    zq_GfxScreen(0, 0, 0, 0, 0);
    return on_driver && !__zq_gfx;
}

struct Check {
    const char* what;
    long long before, after, allowed;
};
}  // namespace

int main(int argc, char** argv) {
    long cycles = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100;
    const char* driver = argc > 2 ? argv[2] : "GDI";
    // The OpenGL driver opens only screens that ask for it.
    const int32_t default_flags = std::strcmp(driver, "OpenGL") == 0 ? DriverFlags::OpenGL : 0;
    auto flags = static_cast<int32_t>(argc > 3 ? std::strtol(argv[3], nullptr, 0) : default_flags);
    zq_Init(argc, argv, 0);
    __zq_gfx_driver_name = driver;
    // The first opening loads libraries and registers the window class for good.
    for (int i = 0; i < 2; ++i) {
        if (!cycle(driver, flags)) {
            std::printf("screen_cycle: the screen did not open on %s\n", driver);
            return 1;
        }
    }
    measure();  // the first measure opens what it needs for good
    Usage base = measure();
    DWORD start = GetTickCount();
    for (long i = 0; i < cycles; ++i) {
        if (!cycle(driver, flags)) {
            std::printf("screen_cycle: cycle %ld: the screen did not open and close on %s\n", i + 1,
                        driver);
            return 1;
        }
    }
    DWORD elapsed = GetTickCount() - start;
    Usage end;
    settled(base, &end);
    // A leak of anything per cycle shows as at least `cycles` of it.
    const Check checks[] = {
        {"threads", base.threads, end.threads, 0},
        {"handles", base.handles, end.handles, 2},
        {"top-level windows", base.windows, end.windows, 0},
        {"loaded modules", base.modules, end.modules, 0},
        {"C heap bytes in use", base.heap_bytes, end.heap_bytes, 1024},
        {"private bytes", base.private_bytes, end.private_bytes, 8 << 20},
    };
    std::printf("screen_cycle: %ld cycles in %lu ms (%.1f ms each)\n", cycles,
                static_cast<unsigned long>(elapsed), cycles ? double(elapsed) / cycles : 0.0);
    bool clean = true;
    for (const Check& c : checks) {
        bool ok = c.before >= 0 && c.after >= 0 && c.after - c.before <= c.allowed;
        std::printf("screen_cycle: %-20s %10lld -> %10lld  %s\n", c.what, c.before, c.after,
                    ok ? "ok" : "LEAK");
        clean = clean && ok;
    }
    return clean ? 0 : 1;
}
