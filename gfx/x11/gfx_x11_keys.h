// X key symbols as the keys of a PC keyboard: the virtual key, the scan code
// of scan-code set 1 and the enhanced-key bit that the Windows path gets with
// each key stroke, so that the shared key translation serves both.
#pragma once

#include <cstdint>

struct X11Key {
    uint8_t vk;
    uint8_t scan;  // also the key_state index
    bool enhanced;
};

// The PC key of `keysym`; false when it names none.
bool zq_hX11KeyOf(uint32_t keysym, X11Key* key);
