// The probe's Windows actions, on an OpenGL screen:
//   clear RRGGBB    cleared to that colour with glClear every frame until a
//                   key is read; prints "ready" after the first
//   pace SECONDS    the demo's frame loop; fails unless each wait took one
//                   refresh period with little CPU
#include <windows.h>
// After windows.h:
#include <malloc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

#include "demo/frame.h"
#include "gfx/gfx_internal.h"
#include "gfx/win32/gfx_win32.h"
#include "gfx/win32/gfx_winrules.h"
#include "probe.h"

extern GfxDriver zq_gfxDriverDirectDraw;

namespace {

// ---- OpenGL ----

using ClearColorFn = void(WINAPI*)(float, float, float, float);
using ClearFn = void(WINAPI*)(uint32_t);
ClearColorFn gl_clear_color;
ClearFn gl_clear;

bool find_gl() {
    gl_clear_color = reinterpret_cast<ClearColorFn>(zq_GfxGetGLProcAddress("glClearColor"));
    gl_clear = reinterpret_cast<ClearFn>(zq_GfxGetGLProcAddress("glClear"));
    std::printf("glClear: %s\n", gl_clear ? "found" : "null");
    return gl_clear && gl_clear_color;
}

void gl_frame(uint32_t rgb) {
    gl_clear_color(((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f,
                   (rgb & 0xFF) / 255.0f, 1.0f);
    gl_clear(0x4000);  // GL_COLOR_BUFFER_BIT
    probe_flip_and_poll();
}

int clear(int argc, char** argv) {
    if (!find_gl()) return 1;
    auto rgb = static_cast<uint32_t>(std::strtoul(argc > 0 ? argv[0] : "3060C0", nullptr, 16));
    gl_frame(rgb);
    std::printf("ready\n");
    for (int i = 0; i < 6000 && probe_read_key() == 0; ++i, Sleep(10)) gl_frame(rgb);
    return 0;
}

double cpu_seconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto secs = [](const FILETIME& t) {
        return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return secs(kernel) + secs(user);
}

int pace(int argc, char** argv) {
    if (!find_gl()) return 1;
    double seconds = argc > 0 ? std::atof(argv[0]) : 5.0;
    int32_t rate = __zq_gfx->refresh_rate;
    // The wait sleeps one refresh period, whatever the frame took to draw.
    double expected = zq_hRefreshPeriodMs(rate), waited = 0;
    double start = zq_Timer(), cpu_start = cpu_seconds();
    long frames = 0;
    for (; zq_Timer() - start < seconds; ++frames) {
        SectorParams p = DRAW_FRAME();
        gl_frame(0xFF000000u | (p.RED << 16) | (p.GREEN << 8) | p.BLUE);
        double before = zq_Timer();
        zq_GfxWaitVSync();
        waited += zq_Timer() - before;
    }
    double elapsed = zq_Timer() - start, per_frame = 1000.0 * waited / static_cast<double>(frames);
    double cpu = 100.0 * (cpu_seconds() - cpu_start) / elapsed;
    std::printf(
        "pace: refresh_rate %d, expected %.1f ms, waited %.1f ms per frame, %ld frames in "
        "%.2f s = %.1f fps, CPU %.1f%%\n",
        rate, expected, per_frame, frames, elapsed, frames / elapsed, cpu);
    // A sleep may overrun on a busy machine, but not by much.
    return per_frame >= 0.95 * expected && per_frame <= 1.25 * expected && cpu < 25 ? 0 : 1;
}

// ---- Screen cycles ----

template <typename Entry, typename First, typename Next>
long count_snapshot(DWORD what, DWORD pid, First first, Next next, bool own_threads) {
    HANDLE snap = CreateToolhelp32Snapshot(what, pid);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    long n = 0;
    Entry entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = first(snap, &entry); more; more = next(snap, &entry)) {
        if constexpr (requires { entry.th32OwnerProcessID; })
            n += !own_threads || entry.th32OwnerProcessID == GetCurrentProcessId();
        else
            ++n;
    }
    CloseHandle(snap);
    return n;
}

BOOL CALLBACK count_own_window(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    *reinterpret_cast<long long*>(count) += pid == GetCurrentProcessId();
    return TRUE;
}

// Handles by trial: GetProcessHandleCount gives 0 under Wine. Kernel handle
// values are multiples of 4, handed out from the bottom of the table.
long long count_handles() {
    long long n = 0;
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

}  // namespace

const ProbeMeasure kProbeMeasures[] = {{"threads", 0},
                                       {"handles", 2},
                                       {"top-level windows", 0},
                                       {"loaded modules", 0},
                                       {"C heap bytes in use", 1024},
                                       {"private bytes", 8 << 20},
                                       {nullptr, 0}};

void probe_measure(long long* out) {
    out[0] = count_snapshot<THREADENTRY32>(TH32CS_SNAPTHREAD, 0, Thread32First, Thread32Next, true);
    out[1] = count_handles();
    out[2] = 0;
    EnumWindows(count_own_window, reinterpret_cast<LPARAM>(&out[2]));
    // Libraries the drivers load at run time must be freed again.
    out[3] =
        count_snapshot<MODULEENTRY32>(TH32CS_SNAPMODULE, 0, Module32First, Module32Next, false);
    out[4] = heap_in_use();
    out[5] = private_bytes();
}

const ProbeAction kPlatformActions[] = {
    {"clear", DriverFlags::OpenGL, true, clear},
    {"pace", DriverFlags::OpenGL, true, pace},
    {nullptr, 0, false, nullptr},
};

const GfxDriver* const kModesDriver = &zq_gfxDriverDirectDraw;
const int32_t* const kModeFlags = &zq_win32.mode_flags;
