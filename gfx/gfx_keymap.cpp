#include "gfx/gfx_keymap.h"

#include "gfx/gfx_internal.h"
#include "runtime/intl.h"

void zq_hPostTypedChar(char ch, int32_t code_page, int32_t repeat) {
    zq_hIntlConvertString(&ch, 1, code_page, ZQ_CP_437);
    for (int32_t i = 0; i < repeat; ++i) zq_hPostKey(static_cast<uint8_t>(ch));
}
