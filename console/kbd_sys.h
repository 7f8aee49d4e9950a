// The keyboard layout service the key translation needs, one implementation
// per platform (kbd_sys_win32.cpp asks the system's layout, kbd_sys_posix.cpp
// answers for a fixed US layout so the translation runs in host tests).
#pragma once

#include <cstdint>

// The unshifted character a virtual key types (letters as capitals), 0 when
// it types none. vk: 0..0xFFFF.
uint32_t kbd_sys_key_char(uint32_t vk);
// The key that types character c: the virtual key in the low byte, and 0x100
// (Shift), 0x200 (Ctrl), 0x400 (Alt) for the shift states it needs; -1 when
// no key types it.
int32_t kbd_sys_char_key(uint8_t c);
// The scan code of a virtual key, 0 when it has none.
int32_t kbd_sys_vk_scan(int32_t vk);
