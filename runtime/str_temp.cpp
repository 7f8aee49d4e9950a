#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "runtime/rt_internal.h"
#include "runtime/zq_rt.h"

ZqString* zq_StrAllocTemp(int32_t len) {
    if (len < 0) return nullptr;
    auto* s = static_cast<ZqString*>(std::malloc(sizeof(ZqString)));
    if (!s) return nullptr;
    s->data = static_cast<char*>(std::calloc(static_cast<size_t>(len) + 1, 1));
    if (!s->data) {
        std::free(s);
        return nullptr;
    }
    s->len = len;
    s->size = len + 1;
    s->temp = 1;
    ++__zq_ctx.temp_strings;
    return s;
}

void zq_StrDelTemp(ZqString* s) {
    if (!s || !s->temp) return;
    std::free(s->data);
    std::free(s);
    --__zq_ctx.temp_strings;
}

ZqString* zq_CHR(int32_t count, ...) {
    ZqString* s = zq_StrAllocTemp(count > 0 ? count : 0);
    va_list args;
    va_start(args, count);
    for (int32_t i = 0; i < count; ++i) {
        int ch = va_arg(args, int);
        if (s) s->data[i] = static_cast<char>(ch);
    }
    va_end(args);
    return s;
}

ZqBytes zq_hStrBytes(const void* s, ptrdiff_t size) {
    if (!s) return {"", 0};
    if (size == -1) {
        auto* str = static_cast<const ZqString*>(s);
        return {str->data ? str->data : "", str->len > 0 ? static_cast<size_t>(str->len) : 0};
    }
    // A plain buffer ends at its size or at its first 0 byte, whichever comes first.
    const char* p = static_cast<const char*>(s);
    size_t n = size > 0 ? strnlen(p, static_cast<size_t>(size)) : 0;
    return {p, n};
}

void zq_hStrReleaseArg(const void* s, ptrdiff_t size) {
    if (s && size == -1) zq_StrDelTemp(const_cast<ZqString*>(static_cast<const ZqString*>(s)));
}

int32_t zq_StrCompare(const void* s1, ptrdiff_t s1_size, const void* s2, ptrdiff_t s2_size) {
    ZqBytes a = zq_hStrBytes(s1, s1_size);
    ZqBytes b = zq_hStrBytes(s2, s2_size);
    size_t common = a.len < b.len ? a.len : b.len;
    int r = common ? std::memcmp(a.data, b.data, common) : 0;
    int32_t result = r != 0 ? (r < 0 ? -1 : 1) : (a.len < b.len ? -1 : (a.len > b.len ? 1 : 0));
    zq_hStrReleaseArg(s1, s1_size);
    zq_hStrReleaseArg(s2, s2_size);
    return result;
}
