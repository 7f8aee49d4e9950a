// Key translation over its whole input range: every stroke gives nothing, a
// character, or a well-formed extended key code, from the bits it reads only.
#include "console/io_input.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const int32_t ascii = in.i32(), scan = in.i32(), vk = in.i32(), state = in.i32();
    const int32_t extended_only = in.u8() & 1;
    const int32_t code = zq_hConsoleTranslateKey(ascii, scan, vk, state, extended_only);
    FUZZ_CHECK(code >= -1 && code <= 0xFFFF);
    if (code > 255) {
        FUZZ_CHECK((code & 0xFF) == 0xFF && code != 0xFF);
    } else if (code >= 0 && !((ascii & 0xFF) == 0 && (state & KeyState::Enhanced))) {
        // A character is the one typed (grey keys without one have their own
        // table), and only when characters are asked for.
        FUZZ_CHECK(!extended_only && code == (ascii & 0xFF) && code != 0);
    }
    // Only the low byte of the character and 16 bits of scan code and virtual
    // key count.
    const int32_t again =
        zq_hConsoleTranslateKey(ascii & 0xFF, scan & 0xFFFF, vk & 0xFFFF, state, extended_only);
    FUZZ_CHECK(again == code);

    // Every virtual key maps to a scan code of a table row that names it.
    const int32_t v = vk & 0xFFFF;
    const int32_t s = zq_hVirtualToScancode(vk);
    if (s != 0) {
        bool named = false;
        for (const KeyTableRow* row = __zq_keytable; row->scan; ++row)
            named |= row->scan == s && (row->vk == v || row->vk2 == v) && vk == v;
        FUZZ_CHECK(named);
    }
    return 0;
}
