// The text colours of the graphics screen (the console's colour statement).
#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kFgOmitted = 1;
constexpr int32_t kBgOmitted = 2;
}  // namespace

int32_t zq_GfxColor(int32_t fg, int32_t bg, int32_t flags) {
    GfxState* s = __zq_gfx;
    GfxContext* ctx = zq_hGetContext();
    if (!s || !ctx) return 0;
    auto result = static_cast<int32_t>((ctx->bg_color << 16) | ctx->fg_color);
    bool has_fg = !(flags & kFgOmitted), has_bg = !(flags & kBgOmitted);
    int32_t mode = s->mode_number;
    if (mode == 1) {
        // The background picks one of the four CGA palettes, the foreground
        // sets colour 0.
        if (has_bg)
            zq_GfxPalette(static_cast<int32_t>(static_cast<uint32_t>(bg) | 0xFFFFFFFCu), 0, 0, 0);
        if (has_fg) zq_GfxPalette(0, fg, -1, -1);
    } else if (mode == 7 || mode == 8 || mode == 9) {
        if (has_fg) ctx->fg_color = static_cast<uint32_t>(fg) & 0xF;
        if (has_bg) zq_GfxPalette(0, bg, -1, -1);
    } else {
        if (has_fg) ctx->fg_color = zq_hFixColor(ctx->target_bpp, static_cast<uint32_t>(fg));
        if (has_bg) ctx->bg_color = zq_hFixColor(ctx->target_bpp, static_cast<uint32_t>(bg));
    }
    return result;
}
