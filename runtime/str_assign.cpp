// String assignment: into a string variable or a fixed-size buffer, from a
// runtime string or a plain buffer; and into a 16-bit buffer from 8-bit text.
#include <cstdlib>
#include <cstring>

#include "runtime/rt_internal.h"
#include "runtime/zq_rt.h"

namespace {
// Keeps dst unchanged when memory runs out.
void assign_variable(ZqString* dst, ZqBytes b) {
    if (b.len > INT32_MAX - 1) b.len = INT32_MAX - 1;
    const auto needed = static_cast<int32_t>(b.len) + 1;
    if (!dst->data || dst->size < needed) {
        auto* grown = static_cast<char*>(std::realloc(dst->data, static_cast<size_t>(needed)));
        if (!grown) return;
        dst->data = grown;
        dst->size = needed;
    }
    std::memmove(dst->data, b.data, b.len);
    dst->data[b.len] = '\0';
    dst->len = static_cast<int32_t>(b.len);
}

void assign_fixed(char* dst, size_t size, ZqBytes b, int32_t fill_rest) {
    const size_t n = b.len < size - 1 ? b.len : size - 1;
    std::memmove(dst, b.data, n);
    if (fill_rest) {
        std::memset(dst + n, 0, size - n);
    } else {
        dst[n] = '\0';
    }
}
}  // namespace

void* zq_StrAssign(void* dst, ptrdiff_t dst_size, const void* src, ptrdiff_t src_size,
                   int32_t fill_rest) {
    const ZqBytes b = zq_hStrBytes(src, src_size);
    if (dst && dst_size == -1) {
        assign_variable(static_cast<ZqString*>(dst), b);
    } else if (dst && dst_size > 0) {
        assign_fixed(static_cast<char*>(dst), static_cast<size_t>(dst_size), b, fill_rest);
    }
    zq_hStrReleaseArg(src, src_size);
    return dst;
}

void zq_StrDelete(ZqString* s) {
    if (!s || s->temp) return;
    std::free(s->data);
    *s = ZqString{};
}

char16_t* zq_WstrAssignFromA(char16_t* dst, int32_t dst_chars, const void* src,
                             ptrdiff_t src_size) {
    const ZqBytes b = zq_hStrBytes(src, src_size);
    if (dst && dst_chars > 0) {
        const size_t room = static_cast<size_t>(dst_chars) - 1;
        const size_t n = b.len < room ? b.len : room;
        for (size_t i = 0; i < n; ++i) dst[i] = static_cast<unsigned char>(b.data[i]);
        dst[n] = 0;
    }
    zq_hStrReleaseArg(src, src_size);
    return dst;
}
