// Printing 16-bit text: converted to 8 bits (units above 0xFF and surrogate
// pairs become "?") and printed as such.
#include <cstdlib>

#include "gfx/gfx_internal.h"

int32_t zq_GfxPrintBufferWstrEx(const char16_t* text, int32_t len, int32_t mask) {
    if (!text || len < 0) len = 0;
    auto* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(len) + 1));
    if (!buffer) return 0;
    int32_t produced = 0;
    for (int32_t i = 0; i < len; ++i) {
        char16_t u = text[i];
        buffer[produced++] = u <= 0xFF ? static_cast<char>(u) : '?';
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < len) ++i;
    }
    buffer[produced] = '\0';
    int32_t r = zq_GfxPrintBufferEx(buffer, produced, mask);
    std::free(buffer);
    return r;
}

int32_t zq_GfxPrintBufferWstr(const char16_t* text, int32_t mask) {
    int32_t len = 0;
    while (text && text[len] && len < INT32_MAX) ++len;
    return zq_GfxPrintBufferWstrEx(text, len, mask);
}
