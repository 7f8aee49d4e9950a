#include "runtime/sys.h"
#include "runtime/zq_rt.h"

char* zq_hGetExeName(char* buffer, int32_t size) {
    if (!buffer || size <= 0) return buffer;
    int32_t n = sys_exe_path(buffer, size);
    char* name = buffer;
    for (int32_t i = 0; i < n; ++i) {
        if (buffer[i] == '\\' || buffer[i] == '/') name = buffer + i + 1;
    }
    return name;
}
