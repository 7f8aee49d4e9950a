#include <cstdlib>

#include "runtime/zq_rt.h"

void* zq_TlsGetCtx(int32_t index, size_t size) {
    if (index < 0 || index >= ZQ_CTX_SLOTS) return nullptr;
    void*& slot = __zq_ctx.ctx_slots[index];
    if (!slot) slot = std::calloc(1, size ? size : 1);
    return slot;
}

void zq_TlsDelCtx(int32_t index) {
    if (index < 0 || index >= ZQ_CTX_SLOTS) return;
    std::free(__zq_ctx.ctx_slots[index]);
    __zq_ctx.ctx_slots[index] = nullptr;
}

void zq_TlsFreeCtxTb() {
    for (int32_t i = 0; i < ZQ_CTX_SLOTS; ++i) zq_TlsDelCtx(i);
}
