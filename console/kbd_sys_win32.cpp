#include <windows.h>

#include "console/kbd_sys.h"

uint32_t kbd_sys_key_char(uint32_t vk) {
    // The high bit flags a dead key; the low word is the character either way.
    return MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR) & 0xFFFF;
}
