// Image buffers for programs: made in the header form with a pixel size of
// their own, and copied onto the screen or into another buffer.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kImageForm = 7;
constexpr size_t kHeaderBytes = 32;

struct ImageHeader {
    int32_t form, bpp, width, height, pitch;
};

bool read_header(const void* image, ImageHeader* h) {
    std::memcpy(h, image, sizeof *h);
    return h->form == kImageForm && (h->bpp == 1 || h->bpp == 2 || h->bpp == 4) && h->width > 0 &&
           h->height > 0 && h->pitch >= int64_t{h->width} * h->bpp;
}
}  // namespace

void* zq_GfxImageCreate(int32_t w, int32_t h, int32_t depth) {
    if (depth == 0) {
        if (!__zq_gfx) return zq_ErrorSetNum(1), nullptr;
        depth = __zq_gfx->depth;
    }
    const int32_t bpp = depth >= 1 && depth <= 8     ? 1
                        : depth == 15 || depth == 16 ? 2
                        : depth == 24 || depth == 32 ? 4
                                                     : 0;
    // Sides beyond the coordinate limit could not be drawn to whole; the
    // pitch must fit the header's 32 bits.
    if (bpp == 0 || w <= 0 || h <= 0 || w > ZQ_COORD_LIMIT / bpp || h > ZQ_COORD_LIMIT) {
        return zq_ErrorSetNum(1), nullptr;
    }
    const size_t pitch = static_cast<size_t>(w) * bpp;
    if (static_cast<size_t>(h) > (SIZE_MAX - kHeaderBytes) / pitch) {
        return zq_ErrorSetNum(1), nullptr;
    }
    auto* image = static_cast<uint8_t*>(std::calloc(1, kHeaderBytes + pitch * h));
    if (!image) return zq_ErrorSetNum(1), nullptr;
    const ImageHeader header = {kImageForm, bpp, w, h, static_cast<int32_t>(pitch)};
    std::memcpy(image, &header, sizeof header);
    return image;
}

void zq_GfxImageDestroy(void* image) {
    if (!image) return;
    // The drawing context keeps the rows of its last buffer and knows a buffer
    // by its address alone: a new one at the same address would be drawn
    // through stale rows. Return it to the screen first.
    if (__zq_gfx) {
        GfxContext* ctx = zq_hGetContext();
        if (ctx->last_target == image) zq_hPrepareTarget(ctx, nullptr, ctx->fg_color);
    }
    std::free(image);
}

int32_t zq_GfxImagePut(void* target, int32_t x, int32_t y, const void* image) {
    ImageHeader src;
    if (!__zq_gfx || !image || image == target || !read_header(image, &src)) {
        return zq_ErrorSetNum(1);
    }
    GfxContext* ctx = zq_hGetContext();
    zq_hPrepareTarget(ctx, target, ctx->fg_color);
    if (ctx->target_bpp != src.bpp) return zq_ErrorSetNum(1);
    int64_t left, top;
    zq_hTranslateCoordWide(ctx, static_cast<float>(x), static_cast<float>(y), &left, &top);
    const int64_t x1 = std::max<int64_t>(left, ctx->view_x);
    const int64_t y1 = std::max<int64_t>(top, ctx->view_y);
    const int64_t x2 = std::min<int64_t>(left + src.width, int64_t{ctx->view_x} + ctx->view_w);
    const int64_t y2 = std::min<int64_t>(top + src.height, int64_t{ctx->view_y} + ctx->view_h);
    if (x1 >= x2 || y1 >= y2) return 0;
    const auto* rows = static_cast<const uint8_t*>(image) + kHeaderBytes;
    const size_t bytes = static_cast<size_t>(x2 - x1) * src.bpp;
    zq_hGfxLock();
    for (int64_t row = y1; row < y2; ++row) {
        const uint8_t* from = rows + static_cast<size_t>(row - top) * src.pitch +
                              static_cast<size_t>(x1 - left) * src.bpp;
        zq_hMemCpy(ctx->line[row] + static_cast<size_t>(x1) * src.bpp, from, bytes);
    }
    zq_hMarkDirtyRows(ctx, static_cast<int32_t>(y1), static_cast<int32_t>(y2 - 1));
    zq_hGfxUnlock();
    return 0;
}
