#include "runtime/sys.h"
#include "runtime/zq_rt.h"

void* zq_hDynLoad(const char* lib_name, const char* const* names, void** table) {
    if (!lib_name) return nullptr;
    void* lib = sys_lib_load(lib_name);
    if (!lib) return nullptr;
    for (int32_t i = 0; names && names[i]; ++i) {
        table[i] = sys_lib_symbol(lib, names[i]);
        if (!table[i]) {
            sys_lib_free(lib);
            return nullptr;
        }
    }
    return lib;
}

int32_t zq_hDynLoadAlso(void* lib, const char* const* names, void** table, int32_t count) {
    if (!lib) return -1;
    for (int32_t i = 0; i < count; ++i) {
        if (!names[i]) return -1;
        table[i] = sys_lib_symbol(lib, names[i]);
        if (!table[i]) return -1;
    }
    return 0;
}

void zq_hDynUnload(void** lib) {
    if (!lib || !*lib) return;
    sys_lib_free(*lib);
    *lib = nullptr;
}
