// A byte-coded program of public calls on the Null driver. After each call the
// framebuffer rows that changed are marked dirty, a line leaves every pixel
// outside the view alone, drawing into an image buffer leaves the screen and
// the buffer's header alone, and a print leaves the text cursor on the grid.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "gfx/gfx_internal.h"

namespace {
bool printed;  // the last print call had something to do
constexpr int32_t kDepths[] = {0, 1, 2, 4, 8, 15, 16, 24, 32, 3, -8};

int32_t depth(FuzzInput& in) {
    return kDepths[in.u8() % (sizeof kDepths / sizeof kDepths[0])];
}

// An image buffer of either form; its memory is what the header promises:
// rows of `pitch` bytes. Corrupt headers (odd pixel sizes, negative or short
// pitches, negative sizes) come with only that much memory.
std::vector<uint8_t> image(FuzzInput& in) {
    const int32_t bpp = __zq_gfx->bpp;
    if (in.u8() & 1) {
        const int32_t w = in.range(0, 60), h = in.range(0, 60);
        std::vector<uint8_t> b(4 + static_cast<size_t>(w * h * bpp), 0x5A);
        const uint16_t head[2] = {static_cast<uint16_t>(w << 3 | (in.u8() & 7)),
                                  static_cast<uint16_t>(h)};
        if (head[0] == 7 && head[1] == 0) return {};  // would read as the new form
        std::memcpy(b.data(), head, 4);
        return b;
    }
    const int32_t head[5] = {7, in.range(-1, 5), in.range(-3, 60), in.range(-3, 60),
                             in.range(-300, 300)};
    const size_t rows = static_cast<size_t>(head[3] > 0 ? head[3] : 0);
    std::vector<uint8_t> b(32 + rows * static_cast<size_t>(head[4] > 0 ? head[4] : 0), 0x5A);
    std::memcpy(b.data(), head, sizeof head);
    return b;
}

void draw(FuzzInput& in, void* target) {
    const float x1 = in.coord(), y1 = in.coord(), x2 = in.coord(), y2 = in.coord();
    const uint32_t color = in.u32();
    const int32_t type = in.range(0, 2);
    const uint32_t style = in.u8() & 1 ? 0xFFFF : in.u32();
    zq_GfxLine(target, x1, y1, x2, y2, color, type, style, in.i32());
}

void call(FuzzInput& in, uint8_t op) {
    std::vector<uint8_t> img;
    switch (op) {
        case 0:
            zq_GfxScreen(in.range(-1, 22), depth(in), in.range(-1, 3), in.i32(), in.i32());
            return;
        case 1:
            zq_GfxScreenRes(in.range(-1, 200), in.range(-1, 200), depth(in), in.range(-1, 3),
                            in.i32(), in.i32());
            return;
        case 2:
            zq_GfxScreen(0, 0, 0, DriverFlags::Closing, 0);
            return;
        case 3:
            return draw(in, nullptr);
        case 4: {
            const int32_t reset = (in.u8() & 3) == 0 ? -32768 : 0;
            const int32_t x1 = reset ? reset : in.range(-50, 700),
                          y1 = reset ? reset : in.range(-50, 700);
            const int32_t x2 = reset ? reset : in.range(-50, 700),
                          y2 = reset ? reset : in.range(-50, 700);
            return zq_GfxView(x1, y1, x2, y2, in.u32(), in.u32(), in.i32());
        }
        case 5:
            zq_GfxClear(in.u8() & 1 ? -65536 : in.range(-1, 3));
            return;
        case 6:
            return zq_GfxPalette(in.range(-6, 300), in.i32(), in.i32(), in.i32());
        case 7: {
            int32_t values[256];
            for (int32_t& v : values) v = in.i32();
            return zq_GfxPaletteUsing(values);
        }
        case 8:
            zq_GfxOut(static_cast<uint16_t>(0x3C0 + in.u8() % 32), in.u8());
            zq_GfxIn(static_cast<uint16_t>(0x3C0 + in.u8() % 32));
            return;
        case 9: {
            const uint8_t* text;
            const auto n = static_cast<int32_t>(in.take(in.u8() % 64, &text));
            const uint8_t mask = in.u8();
            printed = n > 0 || (mask & 8);
            zq_GfxPrintBufferEx(reinterpret_cast<const char*>(text), n, mask);
            return;
        }
        case 10: {
            char16_t wide[16];
            for (char16_t& c : wide) c = in.u16();
            const int32_t n = in.range(0, 16);
            const uint8_t mask = in.u8();
            printed = n > 0 || (mask & 8);
            zq_GfxPrintBufferWstrEx(wide, n, mask);
            return;
        }
        case 11:
            zq_GfxLocate(in.range(-3, 300), in.range(-3, 300), in.i32());
            zq_GfxLocateRaw(in.range(-3, 300), in.range(-3, 300), 0);
            return;
        case 12:
            zq_GfxWidth(in.range(-2, 200), in.range(-2, 200));
            return;
        case 13:
            zq_GfxColor(in.i32(), in.i32(), in.u8() & 3);
            return;
        case 14: {
            zq_hPostKey(in.i32());
            GfxEvent e{};
            e.type = static_cast<GfxEventType>(in.range(0, 14));
            for (int32_t& d : e.data) d = in.i32();
            return zq_hPostEvent(&e);
        }
        case 15: {
            zq_GfxKeyHit();
            ZqString* k = zq_GfxInkey();
            FUZZ_CHECK(k && k->len >= 0 && k->len <= 2);
            zq_StrDelTemp(k);
            zq_GfxMultikey(in.i32());
            int32_t x, y;
            zq_GfxGetMouse(&x, &y, nullptr, nullptr);
            const int32_t c = zq_GfxReadXY(in.range(-1, 200), in.range(-1, 100), in.u8() % 3);
            (void)c;
            return;
        }
        case 16:
            zq_ConsoleView(in.range(-2, 70), in.range(-2, 70));
            return;
        case 17: {
            if (!__zq_gfx) return;
            img = image(in);
            if (img.empty()) return;
            const size_t head = img[0] == 7 && img.size() >= 32 ? 32 : 4;  // rows start there
            const std::vector<uint8_t> before(img.begin(), img.begin() + head);
            draw(in, img.data());
            FUZZ_CHECK(std::memcmp(img.data(), before.data(), head) == 0);
            return;
        }
    }
}

void check(const GfxState* s, const std::vector<uint8_t>& before, uint8_t op) {
    const uint8_t* fb = s->framebuffer;
    const GfxContext* ctx = zq_hGetContext();
    for (int32_t y = 0; y < s->height; ++y) {
        const size_t at = static_cast<size_t>(y) * static_cast<size_t>(s->pitch);
        if (std::memcmp(fb + at, before.data() + at, static_cast<size_t>(s->pitch)) == 0) continue;
        FUZZ_CHECK(s->dirty[y] != 0);
        FUZZ_CHECK(op != 17);  // an image buffer was the target
        if (op != 3) continue;
        for (int32_t x = 0; x < s->width; ++x) {
            const bool inside = x >= ctx->view_x && x < ctx->view_x + ctx->view_w &&
                                y >= ctx->view_y && y < ctx->view_y + ctx->view_h;
            const size_t p = at + static_cast<size_t>(x * s->bpp);
            if (!inside) FUZZ_CHECK(std::memcmp(fb + p, before.data() + p, s->bpp) == 0);
        }
    }
    int32_t col = 0, row = 0;
    zq_GfxGetXY(&col, &row);
    FUZZ_CHECK(col == s->cursor_x + 1 && row == s->cursor_y + 1);
    const bool drawable = s->text_cols > 0 && s->text_rows > 0 && s->width >= s->font->width &&
                          s->height >= s->font->height;
    if ((op == 9 || op == 10) && printed && drawable) {
        FUZZ_CHECK(s->cursor_x >= 0 && s->cursor_x < s->text_cols);
        FUZZ_CHECK(s->cursor_y >= 0 && s->cursor_y < s->text_rows);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool once = (__zq_gfx_driver_name = "null", true);
    (void)once;
    FuzzInput in{data, size};
    zq_ConsoleSetTopBotRows(-1, -1);
    zq_GfxScreenRes(in.range(1, 64), in.range(1, 64), depth(in), 1, DriverFlags::NoDisplay, 0);
    std::vector<uint8_t> before;
    int32_t opens = 0;  // big modes cost page faults: a few per program
    for (int32_t calls = 0; !in.empty() && calls < 64; ++calls) {
        uint8_t op = in.u8() % 18;
        if (op < 2 && ++opens > 2) op = 3;
        GfxState* s = __zq_gfx;
        const bool checked = s && op >= 3;
        if (checked) {
            before.assign(s->framebuffer,
                          s->framebuffer + static_cast<size_t>(s->height) * s->pitch);
            std::memset(s->dirty, 0, static_cast<size_t>(s->height));  // as the display would
        }
        call(in, op);
        if (checked && __zq_gfx == s) check(s, before, op);
    }
    if (!__zq_gfx) zq_GfxScreenRes(8, 8, 8, 1, DriverFlags::NoDisplay, 0);
    while (zq_GfxKeyHit()) zq_StrDelTemp(zq_GfxInkey());
    zq_GfxScreen(0, 0, 0, DriverFlags::Closing, 0);
    return 0;
}
