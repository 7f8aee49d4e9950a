// Typed characters into the key buffer, shared by every platform's window:
// the fonts draw code page 437, the windows type in the system's code page
// (Windows) or Latin-1 (X).
#pragma once

#include <cstdint>

// Posts `ch` of single-byte code page `code_page` (ZQ_CP_ANSI for the
// system's, ZQ_CP_1252 for Latin-1 text) as its code page 437 value,
// `repeat` times (0 posts nothing). A character code page 437 lacks arrives
// as '?'. Runs where zq_hPostKey may: display lock held.
void zq_hPostTypedChar(char ch, int32_t code_page, int32_t repeat);
