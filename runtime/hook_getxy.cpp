#include "console/zq_console.h"
#include "runtime/zq_rt.h"

int32_t zq_GetX() {
    auto hook = __zq_ctx.hooks.hook_getx;
    return hook ? hook() : zq_ConsoleGetX();
}

void zq_GetXY(int32_t* col, int32_t* row) {
    auto hook = __zq_ctx.hooks.hook_getxy;
    hook ? hook(col, row) : zq_ConsoleGetXY(col, row);
}

void zq_GetSize(int32_t* cols, int32_t* rows) {
    auto hook = __zq_ctx.hooks.hook_getsize;
    hook ? hook(cols, rows) : zq_ConsoleGetSize(cols, rows);
}
