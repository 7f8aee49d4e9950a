#include "runtime/zq_rt.h"

namespace {
// The record is allocated on first use; without memory the error is kept in a
// static fallback so that reporting an error never fails.
ErrorContext* error_ctx() {
    static ErrorContext fallback;
    auto* ctx = static_cast<ErrorContext*>(zq_TlsGetCtx(0, sizeof(ErrorContext)));
    return ctx ? ctx : &fallback;
}
}  // namespace

int32_t zq_ErrorSetNum(int32_t n) {
    return error_ctx()->err_num = n;
}
int32_t zq_ErrorGetNum() {
    return error_ctx()->err_num;
}
int32_t zq_ErrorGetLineNum() {
    return error_ctx()->line_num;
}
const char* zq_ErrorGetModName() {
    return error_ctx()->mod_name;
}
const char* zq_ErrorGetFuncName() {
    return error_ctx()->fun_name;
}

const char* zq_ErrorSetModName(const char* name) {
    const char* old = error_ctx()->mod_name;
    error_ctx()->mod_name = name;
    return old;
}

const char* zq_ErrorSetFuncName(const char* name) {
    const char* old = error_ctx()->fun_name;
    error_ctx()->fun_name = name;
    return old;
}
