#include <windows.h>

#include "console/kbd_sys.h"

uint32_t kbd_sys_key_char(uint32_t vk) {
    // The high bit flags a dead key; the low word is the character either way.
    return MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR) & 0xFFFF;
}

int32_t kbd_sys_char_key(uint8_t c) {
    return VkKeyScanA(static_cast<CHAR>(c));
}

int32_t kbd_sys_vk_scan(int32_t vk) {
    return static_cast<int32_t>(MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC));
}
