// Line input on the graphics screen: the prompt, one edited line, and the
// assignment to the destination string.
#include "console/zq_console.h"
#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kPrintEmpty = 0x8;
constexpr int32_t kNoLine = 4;
}  // namespace

int32_t zq_GfxLineInput(ZqString* prompt, void* dst, int32_t dst_size, int32_t fill_rest,
                        int32_t add_question, int32_t add_newline) {
    // A line left waiting by the last print starts before the prompt.
    zq_PrintBufferEx(nullptr, 0, kPrintEmpty);
    if (prompt) {
        zq_PrintString(0, prompt, 0);  // releases a temporary prompt
        if (add_question) zq_PrintFixString(0, "? ", 0);
    }
    ZqString* line = zq_ConReadLine();
    if (add_newline) zq_PrintVoid(0, ZQ_PRINT_NEWLINE);
    if (!line) return zq_ErrorSetNum(kNoLine);
    zq_StrAssign(dst, dst_size, line, -1, fill_rest);
    return zq_ErrorSetNum(0);
}
