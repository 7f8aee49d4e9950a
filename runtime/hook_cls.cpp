#include "console/zq_console.h"
#include "runtime/zq_rt.h"

int32_t zq_Cls(int32_t mode) {
    zq_hConsoleDevInit();
    auto hook = __zq_ctx.hooks.hook_cls;
    int32_t r = hook ? hook(mode) : zq_ConsoleClear(mode);
    __zq_ctx.files[0].print_col = 0;
    return r;
}
