#include "console/zq_console.h"
#include "runtime/zq_rt.h"

void zq_Sleep(int32_t ms) {
    auto hook = __zq_ctx.hooks.hook_sleep;
    hook ? hook(ms) : zq_ConsoleSleep(ms);
}
