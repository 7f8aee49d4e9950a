// The print statement's pieces for the text device (file 0): a string, a
// fixed text, a 16-bit string, or nothing, each optionally followed by a line
// end. Other files belong to the file layer and are not printed to here.
#include <cstring>

#include "runtime/zq_rt.h"

namespace {
constexpr char kLineEnd[] = "\n";

void line_end(int32_t mask) {
    if (mask & ZQ_PRINT_NEWLINE) zq_PrintBufferEx(kLineEnd, 1, 0);
}
}  // namespace

void zq_PrintVoid(int32_t file_num, int32_t mask) {
    if (file_num == 0) line_end(mask);
}

void zq_PrintFixString(int32_t file_num, const char* text, int32_t mask) {
    if (file_num != 0) return;
    if (text && *text) zq_PrintBufferEx(text, static_cast<int32_t>(std::strlen(text)), 0);
    line_end(mask);
}

void zq_PrintString(int32_t file_num, ZqString* s, int32_t mask) {
    if (file_num == 0) {
        if (s && s->data && s->len > 0) zq_PrintBufferEx(s->data, s->len, 0);
        line_end(mask);
    }
    zq_StrDelTemp(s);
}

void zq_PrintWstr(int32_t file_num, const char16_t* text, int32_t mask) {
    if (file_num != 0) return;
    int32_t len = 0;
    while (text && text[len] && len < INT32_MAX) ++len;
    if (len > 0) zq_PrintBufferWstrEx(text, len, 0);
    line_end(mask);
}
