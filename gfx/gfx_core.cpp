// The drawing context, coordinate mapping and the plain pixel routines.
#include <cpuid.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kContextSlot = 4;
constexpr uint32_t kCpuHasMmx = 0x800000;
constexpr uint32_t kOpaque = 0xFF000000;

void* plain_memcpy(void* dest, const void* src, size_t bytes) {
    return std::memcpy(dest, src, bytes);
}
void* plain_memset(void* dest, int value, size_t bytes) {
    return std::memset(dest, value, bytes);
}

// Pixel addresses may be unaligned in image buffers of any pitch, so every
// access goes through memcpy (one plain move on x86).
uint8_t* pixel_at(GfxContext* ctx, int32_t x, int32_t y, int32_t size) {
    return ctx->line[y] + static_cast<ptrdiff_t>(x) * size;
}

template <typename T>
void store(uint8_t* p, uint32_t value) {
    T v = static_cast<T>(value);
    std::memcpy(p, &v, sizeof v);
}

template <typename T>
uint32_t load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Long runs use the string store: current processors write whole cache lines
// with it, as memset does, where a loop of 2-, 4- or 8-byte moves is held to
// one or two moves per cycle. Short runs do better with the loop; from 256
// bytes on, the string store's start-up cost is already paid back.
constexpr size_t kStringStoreMin = 256;  // bytes

void string_store32(uint8_t* p, uint32_t value, size_t count) {
    __asm__ __volatile__("rep stosl" : "+D"(p), "+c"(count) : "a"(value) : "memory");
}

void string_store16(uint8_t* p, uint16_t value, size_t count) {
    __asm__ __volatile__("rep stosw" : "+D"(p), "+c"(count) : "a"(value) : "memory");
}

uint32_t blend(uint32_t s, uint32_t d) {
    uint32_t a = s >> 24;
    uint32_t rb = ((((s & 0x00FF00FF) - (d & 0x00FF00FF)) * a) >> 8) + (d & 0x00FF00FF);
    uint32_t g = ((((s & 0x0000FF00) - (d & 0x0000FF00)) * a) >> 8) + (d & 0x0000FF00);
    return (rb & 0x00FF00FF) | (g & 0x0000FF00) | (s & 0xFF000000);
}
}  // namespace

PixelCpyFn zq_hMemCpy = plain_memcpy;
PixelSetFn zq_hMemSet = plain_memset;
PutPixelFn zq_hPutPixelSolid = zq_hPutPixel4;
PutPixelFn zq_hPutPixelAlpha = zq_hPutPixel4;
PixelSetFn zq_hPixelSetSolid = zq_hPixelSet4;
PixelSetFn zq_hPixelSetAlpha = zq_hPixelSet4;
GetPixelFn zq_hGetPixel = zq_hGetPixel4;
PixelSetFn zq_hPixelSet = zq_hPixelSet4;
PixelCpyFn zq_hPixelCpy = zq_hPixelCpy4;
LineWalkFn zq_hWalkLineSolid = zq_hWalkLine4;

// ---- Plain pixel routines ----

void zq_hPutPixel1(GfxContext* ctx, int32_t x, int32_t y, uint32_t color) {
    store<uint8_t>(pixel_at(ctx, x, y, 1), color);
}
void zq_hPutPixel2(GfxContext* ctx, int32_t x, int32_t y, uint32_t color) {
    store<uint16_t>(pixel_at(ctx, x, y, 2), color);
}
void zq_hPutPixel4(GfxContext* ctx, int32_t x, int32_t y, uint32_t color) {
    store<uint32_t>(pixel_at(ctx, x, y, 4), color);
}

uint32_t zq_hGetPixel1(GfxContext* ctx, int32_t x, int32_t y) {
    return load<uint8_t>(pixel_at(ctx, x, y, 1));
}
uint32_t zq_hGetPixel2(GfxContext* ctx, int32_t x, int32_t y) {
    return load<uint16_t>(pixel_at(ctx, x, y, 2));
}
uint32_t zq_hGetPixel4(GfxContext* ctx, int32_t x, int32_t y) {
    return load<uint32_t>(pixel_at(ctx, x, y, 4));
}

void* zq_hPixelSet2(void* dest, int color, size_t count) {
    auto* p = static_cast<uint8_t*>(dest);
    if (count * 2 >= kStringStoreMin) {
        string_store16(p, static_cast<uint16_t>(color), count);
        return dest;
    }
    for (size_t i = 0; i < count; ++i) store<uint16_t>(p + i * 2, static_cast<uint32_t>(color));
    return dest;
}

void* zq_hPixelSet4(void* dest, int color, size_t count) {
    auto* p = static_cast<uint8_t*>(dest);
    if (count * 4 >= kStringStoreMin) {
        string_store32(p, static_cast<uint32_t>(color), count);
        return dest;
    }
    for (size_t i = 0; i < count; ++i) store<uint32_t>(p + i * 4, static_cast<uint32_t>(color));
    return dest;
}

void* zq_hPixelCpy2(void* dest, const void* src, size_t count) {
    return zq_hMemCpy(dest, src, count * 2);
}
void* zq_hPixelCpy4(void* dest, const void* src, size_t count) {
    return zq_hMemCpy(dest, src, count * 4);
}

void zq_hPutPixelAlpha4(GfxContext* ctx, int32_t x, int32_t y, uint32_t color) {
    uint8_t* p = pixel_at(ctx, x, y, 4);
    store<uint32_t>(p, blend(color, load<uint32_t>(p)));
}

void* zq_hPixelSetAlpha4(void* dest, int color, size_t count) {
    auto* p = static_cast<uint8_t*>(dest);
    auto s = static_cast<uint32_t>(color);
    for (size_t i = 0; i < count; ++i)
        store<uint32_t>(p + i * 4, blend(s, load<uint32_t>(p + i * 4)));
    return dest;
}

// ---- Routine choice ----

uint32_t zq_CpuDetect() {
    // CPUID may trap to a hypervisor; ask once.
    static const uint32_t features = [] {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0u;
        return static_cast<uint32_t>(edx);
    }();
    return features;
}

namespace {
struct PixelFuncs {
    PutPixelFn put_solid, put_alpha;
    PixelSetFn set_solid, set_alpha;
    GetPixelFn get;
    PixelCpyFn cpy;
    LineWalkFn walk;
};

PixelFuncs funcs_for(int32_t bpp, bool mmx, bool alpha) {
    if (bpp == 1)
        return {zq_hPutPixel1, zq_hPutPixel1, zq_hMemSet,   zq_hMemSet,
                zq_hGetPixel1, zq_hMemCpy,    zq_hWalkLine1};
    if (bpp == 2) {
        PixelSetFn set = mmx ? zq_hPixelSet2MMX : zq_hPixelSet2;
        return {zq_hPutPixel2, zq_hPutPixel2, set,          set,
                zq_hGetPixel2, zq_hPixelCpy2, zq_hWalkLine2};
    }
    PixelSetFn set = mmx ? zq_hPixelSet4MMX : zq_hPixelSet4;
    PixelFuncs f{zq_hPutPixel4, zq_hPutPixel4, set,          set,
                 zq_hGetPixel4, zq_hPixelCpy4, zq_hWalkLine4};
    if (alpha) {
        f.put_alpha = mmx ? zq_hPutPixelAlpha4MMX : zq_hPutPixelAlpha4;
        f.set_alpha = mmx ? zq_hPixelSetAlpha4MMX : zq_hPixelSetAlpha4;
    }
    return f;
}
}  // namespace

void zq_hSetupFuncs(int32_t bpp) {
    GfxState* s = __zq_gfx;
    bool mmx = (zq_CpuDetect() & kCpuHasMmx) != 0;
    if (mmx && s) s->flags |= SCREEN_HAS_MMX;
    // Display update threads call these two; they are chosen by the processor
    // alone, so after the first screen's set-up (before any such thread
    // starts) they never change and are never written again.
    if (PixelCpyFn cpy = mmx ? zq_hMemCpyMMX : plain_memcpy; zq_hMemCpy != cpy) zq_hMemCpy = cpy;
    if (PixelSetFn set = mmx ? zq_hMemSetMMX : plain_memset; zq_hMemSet != set) zq_hMemSet = set;
    bool use_mmx = s && (s->flags & SCREEN_HAS_MMX);
    bool alpha = s && (s->flags & SCREEN_ALPHA_PRIMITIVES);
    PixelFuncs f = funcs_for(bpp, use_mmx, alpha);
    zq_hPutPixelSolid = f.put_solid;
    zq_hPutPixelAlpha = f.put_alpha;
    zq_hPixelSetSolid = f.set_solid;
    zq_hPixelSetAlpha = f.set_alpha;
    zq_hGetPixel = f.get;
    zq_hPixelSet = f.set_solid;
    zq_hPixelCpy = f.cpy;
    zq_hWalkLineSolid = f.walk;
}

// ---- The drawing context ----

namespace {
// Grows the row table to hold `rows` entries. Without memory the table stays
// as it was and the caller draws nothing.
bool reserve_lines(GfxContext* ctx, int32_t rows) {
    if (rows <= ctx->line_capacity) return true;
    void* grown = std::realloc(ctx->line, static_cast<size_t>(rows) * sizeof(uint8_t*));
    if (!grown) return false;
    ctx->line = static_cast<uint8_t**>(grown);
    ctx->line_capacity = rows;
    return true;
}

void fill_lines(GfxContext* ctx, uint8_t* first, int32_t rows, int32_t pitch) {
    for (int32_t r = 0; r < rows; ++r) ctx->line[r] = first + static_cast<ptrdiff_t>(r) * pitch;
}

// Pixel sizes other than 1 and 2 count as 4, as in zq_hSetupFuncs.
int32_t normal_bpp(int32_t bpp) {
    return bpp == 1 || bpp == 2 ? bpp : 4;
}

int32_t clamp_side(int32_t side) {
    if (side < 0) return 0;
    return side > ZQ_COORD_LIMIT ? ZQ_COORD_LIMIT : side;
}

void enter_buffer(GfxContext* ctx, void* target) {
    const GfxState* s = __zq_gfx;
    if (!ctx->last_target) {
        ctx->old_view_x = ctx->view_x;
        ctx->old_view_y = ctx->view_y;
        ctx->old_view_w = ctx->view_w;
        ctx->old_view_h = ctx->view_h;
    }
    ctx->view_x = ctx->view_y = 0;
    auto* bytes = static_cast<uint8_t*>(target);
    int32_t form;
    std::memcpy(&form, bytes, sizeof form);
    int32_t width, height;
    uint8_t* rows;
    if (form == 7) {  // new form
        int32_t header[5];
        std::memcpy(header, bytes, sizeof header);
        width = clamp_side(header[2]);
        height = clamp_side(header[3]);
        ctx->target_bpp = normal_bpp(header[1]);
        ctx->target_pitch = header[4];
        rows = bytes + 32;
        // A pitch too short for a row (or negative) would lay rows over one
        // another or before the buffer: such a buffer takes no drawing.
        if (int64_t{width} * ctx->target_bpp > header[4]) width = height = 0;
    } else {  // old form: 13-bit width, 16-bit height, the screen's pixel size
        uint16_t w16, h16;
        std::memcpy(&w16, bytes, 2);
        std::memcpy(&h16, bytes + 2, 2);
        width = w16 >> 3;
        height = h16;
        ctx->target_bpp = s->bpp;
        ctx->target_pitch = width * s->bpp;
        rows = bytes + 4;
    }
    zq_hSetupFuncs(ctx->target_bpp);
    if (!reserve_lines(ctx, height)) width = height = 0;
    ctx->view_w = width;
    ctx->view_h = height;
    fill_lines(ctx, rows, height, ctx->target_pitch);
    ctx->flags |= CTX_ON_BUFFER;
}

void enter_screen(GfxContext* ctx) {
    const GfxState* s = __zq_gfx;
    ctx->view_x = ctx->old_view_x;
    ctx->view_y = ctx->old_view_y;
    ctx->view_w = ctx->old_view_w;
    ctx->view_h = ctx->old_view_h;
    ctx->target_bpp = s->bpp;
    ctx->target_pitch = s->pitch;
    bool page_ok = ctx->work_page >= 0 && ctx->work_page < s->page_count;
    if (page_ok && reserve_lines(ctx, s->height)) {
        fill_lines(ctx, s->pages[ctx->work_page], s->height, s->pitch);
    } else {
        ctx->view_w = ctx->view_h = 0;
    }
    zq_hSetupFuncs(s->bpp);
    ctx->flags &= ~(CTX_FRESH | CTX_ON_BUFFER);
}

void rebuild_context(GfxContext* ctx, const GfxState* s) {
    std::free(ctx->line);
    std::memset(static_cast<void*>(ctx), 0, sizeof *ctx);
    ctx->id = s->id;
    ctx->old_view_w = s->width;
    ctx->old_view_h = s->height;
    ctx->line =
        static_cast<uint8_t**>(std::malloc(static_cast<size_t>(s->height) * sizeof(uint8_t*)));
    ctx->line_capacity = ctx->line ? s->height : 0;
    bool eight_bit = static_cast<uint32_t>(s->depth - 5) <= 3;
    ctx->fg_color = eight_bit ? 15 : s->color_mask;
    ctx->bg_color = s->color_mask & kOpaque;
    ctx->flags = CTX_FRESH;
    zq_hPrepareTarget(ctx, nullptr, kOpaque);
}
}  // namespace

GfxContext* zq_hGetContext() {
    // Every drawing call asks: an allocated slot is read without the call.
    void* slot = __zq_ctx.ctx_slots[kContextSlot];
    auto* ctx =
        static_cast<GfxContext*>(slot ? slot : zq_TlsGetCtx(kContextSlot, sizeof(GfxContext)));
    const GfxState* s = __zq_gfx;
    if (ctx && s && ctx->id != s->id) rebuild_context(ctx, s);
    return ctx;
}

void zq_hPrepareTarget(GfxContext* ctx, void* target, uint32_t color) {
    const GfxState* s = __zq_gfx;
    if (!s) return;
    if (target && target != ctx->last_target) {
        enter_buffer(ctx, target);
    } else if (!target && (ctx->flags & (CTX_FRESH | CTX_ON_BUFFER))) {
        enter_screen(ctx);
    }
    ctx->last_target = target;
    bool blended = (s->flags & SCREEN_ALPHA_PRIMITIVES) && ctx->target_bpp == 4 &&
                   (color & kOpaque) != kOpaque;
    ctx->put_pixel = blended ? zq_hPutPixelAlpha : zq_hPutPixelSolid;
    ctx->pixel_set = blended ? zq_hPixelSetAlpha : zq_hPixelSetSolid;
    ctx->get_pixel = zq_hGetPixel;
    ctx->walk_line = blended ? zq_hWalkLinePut : zq_hWalkLineSolid;
}

// ---- Coordinates ----

namespace {
// Rounds half away from zero in extended precision (so 0.49999997 stays 0).
// NaN maps to 0; huge values are held at +/- 2^40, far enough out to stay
// outside any view after the view offset and well inside 64 bits.
int64_t round_coord(long double v) {
    constexpr long double kFar = 1099511627776.0L;  // 2^40
    if (std::isnan(v)) return 0;
    v = v > 0 ? std::trunc(v + 0.5L) : std::trunc(v - 0.5L);
    if (v > kFar) return static_cast<int64_t>(kFar);
    if (v < -kFar) return -static_cast<int64_t>(kFar);
    return static_cast<int64_t>(v);
}

// The same for a single-precision value: v +/- 0.5 is exact in double for every
// float, so the result equals the extended-precision one, without the slow
// x87 conversions on the drawing path.
int64_t round_float_coord(float f) {
    constexpr double kFar = 1099511627776.0;  // 2^40
    double v = f;
    if (std::isnan(v)) return 0;
    if (v > kFar) return static_cast<int64_t>(kFar);
    if (v < -kFar) return -static_cast<int64_t>(kFar);
    return static_cast<int64_t>(v > 0 ? v + 0.5 : v - 0.5);  // conversion truncates
}

int32_t clamp_coord(int64_t v) {
    if (v > ZQ_COORD_LIMIT) return ZQ_COORD_LIMIT;
    if (v < -ZQ_COORD_LIMIT) return -ZQ_COORD_LIMIT;
    return static_cast<int32_t>(v);
}
}  // namespace

void zq_hTranslateCoordWide(const GfxContext* ctx, float fx, float fy, int64_t* x, int64_t* y) {
    bool window = ctx->flags & CTX_WINDOW_ON;
    int64_t ix, iy;
    if (window) {
        long double lx = fx, ly = fy;
        lx = ctx->view_w * (lx - ctx->map_x) / (static_cast<long double>(ctx->map_w) - 1);
        ly = ctx->view_h * (ly - ctx->map_y) / (static_cast<long double>(ctx->map_h) - 1);
        ix = round_coord(lx);
        iy = round_coord(ly);
    } else {
        ix = round_float_coord(fx);
        iy = round_float_coord(fy);
    }
    if (window && !(ctx->flags & CTX_WINDOW_NOFLIP)) iy = ctx->view_h - 1 - iy;
    if (!(ctx->flags & CTX_VIEW_ABSOLUTE)) {
        ix += ctx->view_x;
        iy += ctx->view_y;
    }
    *x = ix;
    *y = iy;
}

void zq_hTranslateCoord(GfxContext* ctx, float fx, float fy, int32_t* x, int32_t* y) {
    int64_t ix, iy;
    zq_hTranslateCoordWide(ctx, fx, fy, &ix, &iy);
    *x = clamp_coord(ix);
    *y = clamp_coord(iy);
}

void zq_hFixRelative(GfxContext* ctx, int32_t flags, float* x1, float* y1, float* x2, float* y2) {
    int32_t form = flags & 7;
    if (form == 2 || form == 3 || form == 5) {
        *x1 += ctx->last_x;
        *y1 += ctx->last_y;
    }
    if ((form == 1 || form == 3) && x2) {
        *x2 += *x1;
        *y2 += *y1;
    }
    ctx->last_x = x2 ? *x2 : *x1;
    ctx->last_y = x2 ? *y2 : *y1;
}

void zq_hFixCoordsOrder(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    if (*x2 < *x1) {
        int32_t t = *x1;
        *x1 = *x2;
        *x2 = t;
    }
    if (*y2 < *y1) {
        int32_t t = *y1;
        *y1 = *y2;
        *y2 = t;
    }
}
