#include "runtime/zq_rt.h"

// The file layer keeps no open files in this system beyond the text device;
// closing them means marking every other entry closed.
void zq_FileReset() {
    for (int i = 1; i < ZQ_MAX_FILES; ++i) __zq_ctx.files[i].opened = 0;
    __zq_ctx.file_opened = 0;
}
