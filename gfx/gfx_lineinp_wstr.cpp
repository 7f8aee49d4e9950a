// Line input of 16-bit strings: the 8-bit line editor's result widened unit
// for byte.
#include "console/zq_console.h"
#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kPrintEmpty = 0x8;
constexpr int32_t kNoLine = 4;
}  // namespace

int32_t zq_GfxLineInputWstr(const char16_t* prompt, char16_t* dst, int32_t dst_chars,
                            int32_t add_question, int32_t add_newline) {
    zq_PrintBufferEx(nullptr, 0, kPrintEmpty);
    if (prompt) {
        zq_PrintWstr(0, prompt, 0);
        if (add_question) zq_PrintFixString(0, "? ", 0);
    }
    ZqString* line = zq_ConReadLine();
    if (add_newline) zq_PrintVoid(0, ZQ_PRINT_NEWLINE);
    if (!line) return zq_ErrorSetNum(kNoLine);
    zq_WstrAssignFromA(dst, dst_chars, line, -1);
    return zq_ErrorSetNum(0);
}
