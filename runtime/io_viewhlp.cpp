#include "runtime/zq_rt.h"

namespace {
int32_t view_toprow = -1;
int32_t view_botrow = -1;
}  // namespace

int32_t zq_ConsoleGetTopRow() {
    if (view_toprow == -1) view_toprow = 0;
    return view_toprow;
}

int32_t zq_ConsoleGetBotRow() {
    if (view_botrow == -1) {
        int32_t rows = 0;
        zq_GetSize(nullptr, &rows);
        view_botrow = rows > 0 ? rows - 1 : 24;
    }
    return view_botrow;
}

void zq_ConsoleSetTopBotRows(int32_t top, int32_t bottom) {
    view_toprow = top;
    view_botrow = bottom;
}

void zq_ConsoleGetView(int32_t* top, int32_t* bottom) {
    if (top) *top = zq_ConsoleGetTopRow() + 1;
    if (bottom) *bottom = zq_ConsoleGetBotRow() + 1;
}
