// A program built on the library that never calls zq_Init: the runtime must
// still come up before main, and at exit the screen must close first, then the
// runtime shut down, then its files be closed. It prints "exit order: ok" as
// its very last act; the test requires that line.
#include <cstdio>
#include <cstdlib>

#include "gfx/gfx_internal.h"
#include "runtime/sys.h"

namespace {
bool screen_closed_first = false;

void fail(const char* what) {
    std::printf("exit order: FAILED: %s\n", what);
    std::fflush(stdout);
    std::_Exit(1);
}

bool files_open() {
    return __zq_ctx.files[2].opened != 0 && __zq_ctx.file_opened != 0;
}

void driver_exit() {
    if (zq_hRtInitCount() != 1 || !files_open()) fail("the runtime shut down before the screen");
    screen_closed_first = true;
}
}  // namespace

// Runs after the library's shutdown destructor (a lower number runs later).
__attribute__((destructor(101))) void check_after_shutdown() {
    if (!screen_closed_first) fail("the screen's exit handler did not run");
    if (zq_hRtInitCount() != 0) fail("the runtime's shutdown did not run");
    if (__zq_ctx.files[2].opened != 0 || __zq_ctx.file_opened != 0) fail("files left open");
    std::printf("exit order: ok\n");
    std::fflush(stdout);
}

int main() {
    if (zq_hRtInitCount() != 1) fail("the runtime did not start before main");
    if ((sys_fpu_control_word() & 0x0F00) != 0x0300) fail("no extended precision at start-up");
    static GfxDriver driver{};
    driver.name = "Recording";
    driver.init = [](const char*, int32_t, int32_t, int32_t, int32_t, int32_t) { return 0; };
    driver.exit = driver_exit;
    driver.lock = driver.unlock = [] {};
    static const GfxDriver* drivers[] = {&driver, nullptr};
    __zq_gfx_drivers_list = drivers;
    if (zq_GfxScreen(18, 32, 0, 0, 0) != 0) fail("the screen did not open");
    __zq_ctx.files[2].opened = __zq_ctx.file_opened = 1;
    zq_End(0);
}
