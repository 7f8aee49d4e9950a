#include "console/zq_console.h"
#include "runtime/zq_rt.h"

void zq_ViewUpdate() {
    auto hook = __zq_ctx.hooks.hook_view_update;
    hook ? hook() : zq_ConsoleViewUpdate();
}
