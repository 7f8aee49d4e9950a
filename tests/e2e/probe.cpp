// zqprobe [--fullscreen] [--opengl] [--modes] [--ppm FILE] ACTION [ARGS...]:
// what the end-to-end scripts run in real windows. Most actions open a 640 x
// 480, 32-bit screen and print "driver: NAME fullscreen: 0|1 refresh: HZ";
// --modes prints the platform driver's 32-bit modes before and after; --ppm
// draws on the Null driver and writes the framebuffer to FILE, the picture the
// windows must show.
//   open                 nothing more
//   key                  prints the next key string in hex ("key: FF 48")
//   frames               the demo's frame loop until a key is read
//   print                the sample page of text, then waits for a key
//   input [STEP...]      "line: [TEXT]" read after the prompt "Name"; with
//                        --ppm, from the steps ("type:TEXT" or an xdotool key name)
//   mouse                "mouse X Y WHEEL BUTTONS" and "key SCAN -1|0" on each
//                        change; "s" places the pointer; "q" or closing ends it
//   cycle N DRIVER [FLAGS]  N screen openings and closings; fails on a leak
// and the platform's own (probe_win32.cpp, probe_posix.cpp).
#include "probe.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string_view>

#include "demo/frame.h"
#include "demo/ppm.h"
#include "gfx/gfx_internal.h"
#include "gfx/print_sample.h"

namespace {
const char* g_ppm = nullptr;

bool write_screen_ppm() {
    return __zq_gfx && zq_demo_write_ppm(g_ppm, *__zq_gfx);
}

int key(int, char**) {
    for (double end = zq_Timer() + 20; zq_Timer() < end; zq_GfxWaitVSync()) {
        std::string hex;
        if (probe_read_key(&hex) == 0) continue;
        std::printf("key:%s\n", hex.c_str());
        return 0;
    }
    std::printf("key: none\n");
    return 1;
}

int frames(int, char**) {
    zq_Cls(static_cast<int32_t>(0xFFFF0000u));  // as the demo starts
    do {
        DRAW_FRAME();
        zq_GfxWaitVSync();
    } while (zq_StrCompare(zq_Inkey(), -1, "", 0) == 0);
    return 0;
}

int print(int, char**) {
    print_sample::print_page();
    if (g_ppm) return write_screen_ppm() ? 0 : 1;
    zq_Getkey();
    return 0;
}

// ---- Line input, from the keyboard or from scripted steps ----

struct NamedKey {
    std::string_view name;
    int32_t code;
};
constexpr NamedKey kKeys[] = {
    {"Left", 0x4BFF},   {"Right", 0x4DFF},  {"Home", 0x47FF}, {"End", 0x4FFF},
    {"Delete", 0x53FF}, {"Insert", 0x52FF}, {"BackSpace", 8}, {"Return", 13},
};
std::deque<int32_t> g_steps;
bool g_written = false;

bool add_step(std::string_view step) {
    constexpr std::string_view kType = "type:";
    if (step.substr(0, kType.size()) == kType) {
        for (char c : step.substr(kType.size())) g_steps.push_back(static_cast<uint8_t>(c));
        return true;
    }
    for (const NamedKey& k : kKeys) {
        if (k.name != step) continue;
        g_steps.push_back(k.code);
        return true;
    }
    return false;
}

// Out of keys, it draws the screen as it stands and answers 0, which ends
// the line input without a line.
int32_t scripted_getkey() {
    if (g_steps.empty()) {
        g_written = g_written || write_screen_ppm();
        return 0;
    }
    int32_t code = g_steps.front();
    g_steps.pop_front();
    return code;
}

int input(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (add_step(argv[i])) continue;
        std::printf("unknown step '%s'\n", argv[i]);
        return 2;
    }
    if (g_ppm) __zq_ctx.hooks.hook_getkey = scripted_getkey;
    ZqString* prompt = zq_StrAllocTemp(4);
    std::memcpy(prompt->data, "Name", 4);
    ZqString line{};
    int32_t error = zq_GfxLineInput(prompt, &line, -1, 0, 1, 1);
    if (g_ppm) return g_written ? 0 : 1;
    if (error != 0) return 1;
    std::printf("line: [%.*s]\n", static_cast<int>(line.len), line.data ? line.data : "");
    zq_StrDelete(&line);
    return 0;
}

int mouse(int, char**) {
    int32_t last[4] = {-2, -2, -2, -2}, keys[128] = {};
    for (int i = 0; i < 12000; ++i, zq_Sleep(5)) {
        probe_flip_and_poll();
        int32_t now[4] = {};
        zq_GfxGetMouse(&now[0], &now[1], &now[2], &now[3]);
        if (std::memcmp(now, last, sizeof now) != 0)
            std::printf("mouse %d %d %d %d\n", now[0], now[1], now[2], now[3]);
        std::memcpy(last, now, sizeof now);
        for (int32_t scan = 0; scan < 128; ++scan) {
            int32_t down = zq_GfxMultikey(scan);
            if (down != keys[scan]) std::printf("key %d %d\n", scan, down);
            keys[scan] = down;
        }
        int32_t key = probe_read_key();
        if (key == 's') std::printf("set %d\n", zq_GfxSetMouse(100, 50, -1));
        if (key == 'q' || key == 0x6BFF) break;
    }
    return 0;
}

// ---- Screen cycles ----

constexpr int kMaxMeasures = 8;

// A thread that has been told to stop may take a moment to be gone; give the
// counts that much time to come back before calling anything a leak.
void settle(const long long* base, long long* now) {
    for (int i = 0; i < 100; ++i, zq_Sleep(20)) {
        probe_measure(now);
        bool settled = true;
        for (int m = 0; kProbeMeasures[m].what; ++m)
            settled = settled && now[m] - base[m] <= kProbeMeasures[m].allowed;
        if (settled) return;
    }
}

// One open-draw-close cycle; false when the screen did not open on the driver.
bool cycle(const char* driver, int32_t flags) {
    if (zq_GfxScreen(18, 32, 0, flags, 0) != 0 || !__zq_gfx) return false;
    bool on_driver = std::strcmp(__zq_gfx->driver->name, driver) == 0;
    zq_GfxLine(nullptr, 0, 0, 639, 479, 0xFFFFFFFFu, 0, 0xFFFF, 0);
    probe_flip_and_poll();
    zq_GfxWaitVSync();
    zq_GfxScreen(0, 0, 0, 0, 0);
    return on_driver && !__zq_gfx;
}

int cycles(int argc, char** argv) {
    long count = argc > 0 ? std::strtol(argv[0], nullptr, 10) : 100;
    const char* driver = argc > 1 ? argv[1] : "GDI";
    auto flags = static_cast<int32_t>(argc > 2 ? std::strtol(argv[2], nullptr, 0) : 0);
    __zq_gfx_driver_name = driver;
    long long base[kMaxMeasures], end[kMaxMeasures];
    // The first openings load libraries (and on Windows register the window
    // class) for good, the first measure what it needs.
    bool ok = cycle(driver, flags) && cycle(driver, flags);
    probe_measure(base);
    probe_measure(base);
    double start = zq_Timer();
    for (long i = 0; ok && i < count; ++i) ok = cycle(driver, flags);
    if (!ok) std::printf("cycle: the screen did not open and close on %s\n", driver);
    if (!ok) return 1;
    auto elapsed = static_cast<long>((zq_Timer() - start) * 1000);
    settle(base, end);
    std::printf("cycle: %ld on %s in %ld ms\n", count, driver, elapsed);
    for (int i = 0; kProbeMeasures[i].what; ++i) {
        bool clean = base[i] >= 0 && end[i] >= 0 && end[i] - base[i] <= kProbeMeasures[i].allowed;
        std::printf("cycle: %-20s %10lld -> %10lld  %s\n", kProbeMeasures[i].what, base[i], end[i],
                    clean ? "ok" : "LEAK");
        ok = ok && clean;
    }
    return ok ? 0 : 1;
}

constexpr ProbeAction kActions[] = {
    {"open", 0, true, nullptr},  {"key", 0, true, key},        {"frames", 0, true, frames},
    {"print", 0, true, print},   {"input", 0, true, input},    {"mouse", 0, true, mouse},
    {"cycle", 0, false, cycles}, {nullptr, 0, false, nullptr},
};

const ProbeAction* find_action(const char* name) {
    for (const ProbeAction* a : {kActions, kPlatformActions}) {
        for (; a->name; ++a)
            if (std::strcmp(a->name, name) == 0) return a;
    }
    return nullptr;
}

bool open_screen(int32_t flags) {
    if (zq_GfxScreen(18, 32, 1, flags, 0) != 0 || !__zq_gfx || !__zq_gfx->driver) return false;
    const bool full =
        __zq_gfx->driver != &__zq_gfxDriverNull && (*kModeFlags & DriverFlags::Fullscreen);
    std::printf("driver: %s fullscreen: %d refresh: %d\n", __zq_gfx->driver->name, full ? 1 : 0,
                __zq_gfx->refresh_rate);
    return true;
}

void print_modes(const char* when) {
    int32_t count = -1;
    int32_t* modes = kModesDriver->fetch_modes(32, &count);
    std::printf("modes %s:", when);
    for (int32_t i = 0; modes && i < count; ++i)
        std::printf(" %dx%d", modes[i] >> 16, modes[i] & 0xFFFF);
    std::printf("\n");
    std::free(modes);
}
}  // namespace

void probe_flip_and_poll() {
    if (__zq_gfx->driver->flip) __zq_gfx->driver->flip();
    if (__zq_gfx->driver->poll_events) __zq_gfx->driver->poll_events();
}

int32_t probe_read_key(std::string* hex) {
    ZqString* key = zq_Inkey();
    int32_t len = key ? key->len : 0, code = 0;
    if (len == 1) code = static_cast<uint8_t>(key->data[0]);
    if (len == 2) code = (static_cast<uint8_t>(key->data[1]) << 8) | 0xFF;
    for (int32_t i = 0; hex && i < len; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02X", key->data[i] & 0xFF);
        *hex += byte;
    }
    if (key) zq_StrDelTemp(key);
    return code;
}

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // the scripts watch the lines as they come
    zq_Init(argc, argv, 0);
    int32_t flags = 0;
    bool modes = false;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--fullscreen") == 0) flags |= DriverFlags::Fullscreen;
        if (std::strcmp(argv[i], "--opengl") == 0) flags |= DriverFlags::OpenGL;
        if (std::strcmp(argv[i], "--modes") == 0) modes = true;
        if (std::strcmp(argv[i], "--ppm") == 0 && i + 1 < argc) g_ppm = argv[++i];
    }
    const ProbeAction* action = i < argc ? find_action(argv[i]) : nullptr;
    if (!action) {
        std::printf("zqprobe: no such action\n");
        zq_End(2);
    }
    flags = g_ppm ? DriverFlags::NoDisplay : flags | action->flags;
    if (modes) print_modes("closed");
    if (action->opens_screen && !open_screen(flags)) {
        std::printf("driver: none\n");
        zq_End(1);
    }
    if (modes) print_modes("open");
    zq_End(action->run ? action->run(argc - i - 1, argv + i + 1) : 0);
}
