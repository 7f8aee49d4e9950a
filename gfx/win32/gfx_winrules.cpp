#include "gfx/win32/gfx_winrules.h"

#include <cstdlib>

#include "console/io_input.h"

int32_t zq_hRefreshPeriodMs(int32_t hz) {
    return hz > 1 ? 1000 / hz : 16;
}

int32_t zq_hKeyControlState(const uint8_t* keyboard, bool extended) {
    auto down = [keyboard](uint8_t vk) { return (keyboard[vk] & 0x80) != 0; };
    int32_t state = 0;
    if (down(Vk::Shift) || down(0xA0) || down(0xA1)) state = KeyState::Shift;
    // Control and Menu are down with either of their sides, so the right
    // side alone sets both bits.
    if (down(Vk::Control) || down(0xA2)) state ^= KeyState::LeftCtrl;
    if (down(0xA3)) state ^= KeyState::RightCtrl;
    if (down(Vk::Menu) || down(0xA4)) state ^= KeyState::LeftAlt;
    if (down(0xA5)) state ^= KeyState::RightAlt;
    if (extended) state |= KeyState::Enhanced;
    return state;
}

bool zq_hDirtyBand(const uint8_t* dirty, int32_t lines, int32_t line_repeat, DirtyBand* band) {
    int32_t first = 0;
    while (first < lines && !dirty[first]) ++first;
    if (first >= lines) return false;
    int32_t last = lines - 1;
    while (!dirty[last]) --last;
    band->first = first * line_repeat;
    band->count = (last - first + 1) * line_repeat;
    return true;
}

GdiConversion zq_hGdiConversion(int32_t bits_per_pixel, int32_t width, int32_t line_repeat,
                                bool shaped) {
    bool unaligned = (width & 3) != 0;
    // The framebuffer has one line per framebuffer line: repeated lines can
    // only come from a conversion.
    bool repeated = line_repeat > 1;
    if (shaped && bits_per_pixel == 32) return GdiConversion::AlphaRemover;
    if (bits_per_pixel == 16) return GdiConversion::To555;
    if (unaligned || repeated) return GdiConversion::LineCopy;
    return GdiConversion::None;
}

bool zq_hModeDepthMatches(int32_t mode_bits, int32_t depth) {
    if (mode_bits == depth) return true;
    auto pair = [&](int32_t a, int32_t b) { return mode_bits == a && depth == b; };
    return pair(15, 16) || pair(16, 15) || pair(24, 32) || pair(32, 24);
}

int32_t* zq_hAppendMode(int32_t* modes, int32_t* count, uint32_t width, uint32_t height) {
    size_t n = static_cast<size_t>(*count) + 1;
    auto* grown = static_cast<int32_t*>(std::realloc(modes, n * sizeof(int32_t)));
    if (!grown) return nullptr;
    grown[n - 1] = static_cast<int32_t>(((width & 0xFFFF) << 16) | (height & 0xFFFF));
    *count = static_cast<int32_t>(n);
    return grown;
}
