#include "console/zq_console.h"
#include "runtime/zq_rt.h"

int32_t zq_LocateEx(int32_t row, int32_t col, int32_t cursor, int32_t* out) {
    zq_ErrorSetNum(0);
    int32_t top = 0, bottom = 0, width = 0;
    zq_ConsoleGetView(&top, &bottom);
    zq_GetSize(&width, nullptr);
    bool bad_row = row != 0 && (row < top || row > bottom);
    if (bad_row || col < 0 || col > width) {
        if (out) *out = 0;
        return zq_ErrorSetNum(1);
    }
    zq_hConsoleDevInit();
    auto hook = __zq_ctx.hooks.hook_locate;
    int32_t r = hook ? hook(row, col, cursor) : zq_ConsoleLocate(row, col, cursor);
    if (out) *out = r;
    if (col != 0) __zq_ctx.files[0].print_col = col - 1;
    return zq_ErrorGetNum();
}

int32_t zq_Locate(int32_t row, int32_t col, int32_t cursor, int32_t, int32_t) {
    int32_t out = 0;
    if (zq_LocateEx(row, col, cursor, &out) != 0) zq_LocateEx(0, 0, cursor, &out);
    return out;
}

void zq_SetPos(int32_t col) {
    __zq_ctx.files[0].print_col = col;
}
