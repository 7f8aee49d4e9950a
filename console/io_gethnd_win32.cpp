// The console's standard handles, fetched once. Processed input is switched
// on so that the console handles Ctrl+C itself.
#include <windows.h>

#include "console/con_in.h"

namespace {
bool is_init;
HANDLE in_handle;
HANDLE out_handle;
}  // namespace

intptr_t zq_hConsoleGetHandle(int32_t input) {
    if (!is_init) {
        is_init = true;
        in_handle = GetStdHandle(STD_INPUT_HANDLE);
        out_handle = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        if (GetConsoleMode(in_handle, &mode))
            SetConsoleMode(in_handle, mode | ENABLE_PROCESSED_INPUT);
    }
    return reinterpret_cast<intptr_t>(input ? in_handle : out_handle);
}
