#include "console/zq_console.h"
#include "runtime/zq_rt.h"

ZqString* zq_Inkey() {
    auto hook = __zq_ctx.hooks.hook_inkey;
    return hook ? hook() : zq_ConsoleInkey();
}

int32_t zq_Getkey() {
    auto hook = __zq_ctx.hooks.hook_getkey;
    return hook ? hook() : zq_ConsoleGetkey();
}

int32_t zq_KeyHit() {
    auto hook = __zq_ctx.hooks.hook_keyhit;
    return hook ? hook() : zq_ConsoleKeyHit();
}
