// The keyboard layout service the key translation needs, one implementation
// per platform (kbd_sys_win32.cpp asks the system's layout, kbd_sys_posix.cpp
// answers for a fixed US layout so the translation runs in host tests).
#pragma once

#include <cstdint>

// The unshifted character a virtual key types (letters as capitals), 0 when
// it types none. vk: 0..0xFFFF.
uint32_t kbd_sys_key_char(uint32_t vk);
