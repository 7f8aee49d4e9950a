#include "runtime/zq_rt.h"

namespace {
int32_t text_rows() {
    int32_t rows = 0;
    zq_GetSize(nullptr, &rows);
    return rows > 0 ? rows : 25;
}
}  // namespace

int32_t zq_ConsoleViewEx(int32_t top, int32_t bottom, int32_t locate) {
    int32_t rows = text_rows();
    bool changed = false;
    if (top > 0) {
        changed = true;
    } else if (top == 0) {
        top = 1;
        changed = true;
    } else {
        top = zq_ConsoleGetTopRow() + 1;
    }
    if (bottom > 0) {
        changed = true;
    } else if (bottom == 0) {
        bottom = rows;
        changed = true;
    } else {
        bottom = zq_ConsoleGetBotRow() + 1;
    }
    if (top > bottom || top <= 0 || bottom <= 0 || top > rows || bottom > rows) return 0;
    if (changed) {
        zq_ConsoleSetTopBotRows(top - 1, bottom - 1);
        zq_ViewUpdate();
        if (locate) zq_Locate(top, 1, -1, 0, 0);
    }
    return top | (bottom << 16);
}

int32_t zq_ConsoleView(int32_t top, int32_t bottom) {
    return zq_ConsoleViewEx(top, bottom, 1);
}
