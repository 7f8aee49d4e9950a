// The raw string reader. Minimal for now: no key can arrive yet, so it reads
// an empty string (null while no screen is open).
#include "gfx/gfx_internal.h"

char* zq_GfxReadStr(char* buffer, int32_t max_len) {
    if (!__zq_gfx || !buffer) return nullptr;
    if (max_len > 0) buffer[0] = '\0';
    return buffer;
}
