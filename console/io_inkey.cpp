// The console's key reads: the fallbacks of zq_Inkey, zq_Getkey and zq_KeyHit
// while no graphics screen is open.
#include "console/con_in.h"
#include "console/zq_console.h"

ZqString* zq_ConsoleInkey() {
    const int32_t key = zq_hConsoleGetKey(1);
    if (key == -1) return zq_StrAllocTemp(0);
    ZqString* s = key >= 256 ? zq_CHR(2, 0xFF, (key >> 8) & 0xFF) : zq_CHR(1, key);
    return s ? s : zq_StrAllocTemp(0);
}

int32_t zq_ConsoleGetkey() {
    for (;;) {
        const int32_t key = zq_hConsoleGetKey(1);
        if (key != -1) return key;
        zq_Sleep(-1);
    }
}

int32_t zq_ConsoleKeyHit() {
    return zq_hConsolePeekKey(1) != -1 ? 1 : 0;
}
