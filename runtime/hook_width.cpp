#include "console/zq_console.h"
#include "runtime/zq_rt.h"

int32_t zq_Width(int32_t cols, int32_t rows) {
    zq_hConsoleDevInit();
    auto hook = __zq_ctx.hooks.hook_width;
    int32_t r = hook ? hook(cols, rows) : zq_ConsoleWidth(cols, rows);
    if (cols > 0) __zq_ctx.files[0].width = cols;
    if (cols > 0 || rows > 0) {
        zq_ConsoleView(0, 0);
        return 0;
    }
    return r;
}
