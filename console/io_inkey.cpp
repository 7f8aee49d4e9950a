// Console key reads. The console keyboard itself is not wired up yet: it
// reports no key, so a program waiting on the console polls until stopped.
#include "console/zq_console.h"

int32_t zq_hConsoleGetKeyEx(int32_t, int32_t) {
    return -1;
}

int32_t zq_hConsoleInputBufferChanged() {
    return 0;
}

ZqString* zq_ConsoleInkey() {
    int32_t key = zq_hConsoleGetKeyEx(1, 1);
    if (key == -1) return zq_StrAllocTemp(0);
    if ((key & 0xFF) == 0xFF) return zq_CHR(2, 0xFF, (key >> 8) & 0xFF);
    return zq_CHR(1, key & 0xFF);
}

int32_t zq_ConsoleGetkey() {
    for (;;) {
        int32_t key = zq_hConsoleGetKeyEx(1, 1);
        if (key != -1) return key;
        zq_Sleep(-1);
    }
}

int32_t zq_ConsoleKeyHit() {
    return zq_hConsoleGetKeyEx(1, 0) != -1 ? 1 : 0;
}
