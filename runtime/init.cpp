#include <cstdlib>

#include "runtime/zq_rt.h"

// Runs with the program's other start-up constructors; the matching shutdown
// destructor (zq_hDoExit) runs after every exit handler registered later.
// Nothing refers to either: the library's link options require both symbols,
// so the linker takes them into every program.
extern "C" __attribute__((constructor)) void zq_hDoInit() {
    zq_hRtInit();
}

void zq_Init(int32_t argc, char** argv, int32_t lang) {
    __zq_ctx.argc = argc;
    __zq_ctx.argv = argv;
    __zq_ctx.lang = lang;
}

void zq_End(int32_t status) {
    std::exit(status);
}
