// Whether a key is held down at the console, by scan code.
#include "console/con_in.h"
#include "console/io_input.h"

int32_t zq_hConsoleMultikeyWith(int32_t scan, bool (*vk_down)(int32_t vk)) {
    // Every row up to the end marker counts, the last one included.
    for (const KeyTableRow* row = __zq_keytable; row->scan != 0; ++row) {
        if (row->scan != scan) continue;
        const bool down = vk_down(row->vk) || (row->vk2 != 0 && vk_down(row->vk2));
        return down ? -1 : 0;
    }
    return 0;
}

int32_t zq_ConsoleMultikey(int32_t scan) {
    if (!con_in_has_focus()) return 0;
    return zq_hConsoleMultikeyWith(scan, con_in_vk_down);
}
