#include "console/zq_console.h"
#include "runtime/sys.h"

void zq_ConsoleSleep(int32_t ms) {
    if (ms == -1) {
        while (!zq_hConsoleInputBufferChanged()) sys_sleep_ms(50);
        return;
    }
    if (ms < 0) return;
    if (ms > 99) {
        while (ms > 50) {
            if (zq_hConsoleInputBufferChanged()) return;
            sys_sleep_ms(50);
            ms -= 50;
        }
    }
    sys_sleep_ms(ms);
}
