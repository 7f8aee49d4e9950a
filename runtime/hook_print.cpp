#include "console/zq_console.h"
#include "runtime/zq_rt.h"

int32_t zq_PrintBufferEx(const char* text, int32_t len, int32_t mask) {
    auto hook = __zq_ctx.hooks.hook_print_buffer;
    return hook ? hook(text, len, mask) : zq_ConsolePrintBufferEx(text, len, mask);
}

int32_t zq_PrintBufferWstrEx(const char16_t* text, int32_t len, int32_t mask) {
    auto hook = __zq_ctx.hooks.hook_print_buffer_wstr;
    return hook ? hook(text, len, mask) : zq_ConsolePrintBufferWstrEx(text, len, mask);
}
