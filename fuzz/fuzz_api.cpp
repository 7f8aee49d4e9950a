// A byte-coded program of public calls on the Null driver. After each call the
// framebuffer rows that changed are marked dirty, a line leaves every pixel
// outside the view alone, drawing into an image buffer leaves the screen and
// the buffer's header alone, and a print leaves the text cursor on the grid.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kDepths[] = {0, 1, 2, 4, 8, 15, 16, 24, 32, 3, -8};
int32_t depth(FuzzInput& in) {
    return kDepths[in.u8() % 11];
}
int32_t near(FuzzInput& in) {
    return in.range(-3, 300);
}
bool printed;  // the last print had something to do

void draw(FuzzInput& in, void* target) {
    const float x1 = in.coord(), y1 = in.coord(), x2 = in.coord(), y2 = in.coord();
    const uint32_t color = in.u32();
    const int32_t type = in.range(0, 2);
    zq_GfxLine(target, x1, y1, x2, y2, color, type, in.u8() & 1 ? 0xFFFF : in.u32(), in.i32());
}

// An image buffer of either form with the memory its header promises: rows
// of `pitch` bytes, so a corrupt header (odd pixel size, negative or short
// pitch, negative size) comes with only that much. Drawing leaves the header.
void draw_image(FuzzInput& in) {
    std::vector<uint8_t> b;
    if (in.u8() & 1) {
        const int32_t w = in.range(0, 60), h = in.range(0, 60);
        const uint16_t head[2] = {static_cast<uint16_t>(w << 3 | 1), static_cast<uint16_t>(h)};
        b.resize(4 + static_cast<size_t>(w * h * __zq_gfx->bpp));
        std::memcpy(b.data(), head, 4);
    } else {
        const int32_t head[5] = {7, in.range(-1, 5), in.range(-3, 60), in.range(-3, 60),
                                 in.range(-300, 300)};
        b.resize(32 + static_cast<size_t>(std::max(head[3], 0) * std::max(head[4], 0)));
        std::memcpy(b.data(), head, sizeof head);
    }
    const std::vector<uint8_t> head(b.begin(), b.begin() + (b[0] == 7 ? 32 : 4));
    draw(in, b.data());
    FUZZ_CHECK(std::equal(head.begin(), head.end(), b.begin()));
}

void print(FuzzInput& in) {
    const uint8_t* text;
    const auto n = static_cast<int32_t>(in.take(in.u8() % 64, &text));
    const uint8_t mask = in.u8();
    printed = n > 0 || (mask & 8);
    if (!(mask & 1)) return (void)zq_GfxPrintBufferEx(reinterpret_cast<const char*>(text), n, mask);
    char16_t wide[64];
    for (int32_t i = 0; i < n; ++i) wide[i] = static_cast<char16_t>(text[i] * (mask | 1));
    zq_GfxPrintBufferWstrEx(wide, n, mask);
}

void keys(FuzzInput& in) {
    zq_hPostKey(in.i32());
    GfxEvent e{};
    e.type = static_cast<GfxEventType>(in.range(0, 14));
    for (int32_t& d : e.data) d = in.i32();
    zq_hPostEvent(&e);
    zq_GfxKeyHit();
    ZqString* k = zq_GfxInkey();
    FUZZ_CHECK(k && k->len >= 0 && k->len <= 2);
    zq_StrDelTemp(k);
    int32_t x, y;
    zq_GfxGetMouse(&x, &y, nullptr, nullptr);
    zq_GfxMultikey(in.i32());
    zq_GfxReadXY(in.range(-1, 200), in.range(-1, 100), in.u8() % 3);
}

using Call = void (*)(FuzzInput& in);
constexpr int32_t kOpens = 2, kLine = 3, kPrint = 8, kImage = 11;
constexpr Call kCalls[] = {
    [](FuzzInput& in) { zq_GfxScreen(in.range(-1, 22), depth(in), in.range(-1, 3), in.i32(), 0); },
    [](FuzzInput& in) {
        zq_GfxScreenRes(in.range(-1, 200), in.range(-1, 200), depth(in), in.range(-1, 3), in.i32(),
                        in.i32());
    },
    [](FuzzInput&) { zq_GfxScreen(0, 0, 0, DriverFlags::Closing, 0); },
    [](FuzzInput& in) { draw(in, nullptr); },
    [](FuzzInput& in) {
        const int32_t r = in.u8() & 3 ? 0 : -32768;  // the reset form
        zq_GfxView(r | near(in), r | near(in), r | near(in), r | near(in), in.u32(), in.u32(),
                   in.i32());
    },
    [](FuzzInput& in) { zq_GfxClear(in.u8() & 1 ? -65536 : in.range(-1, 3)); },
    [](FuzzInput& in) {
        zq_GfxPalette(in.range(-6, 300), in.i32(), in.i32(), in.i32());
        int32_t values[256];
        for (int32_t& v : values) v = in.i32();
        zq_GfxPaletteUsing(values);
        zq_GfxOut(static_cast<uint16_t>(0x3C0 + in.u8() % 32), in.u8());
        zq_GfxIn(static_cast<uint16_t>(0x3C0 + in.u8() % 32));
    },
    [](FuzzInput& in) { zq_ConsoleView(in.range(-2, 70), in.range(-2, 70)); },
    print,
    [](FuzzInput& in) {
        const int32_t row = near(in), col = near(in), raw_row = near(in), raw_col = near(in);
        zq_GfxLocate(row, col, 0);
        zq_GfxLocateRaw(raw_row, raw_col, 0);
        zq_GfxWidth(in.range(-2, 200), in.range(-2, 200));
        zq_GfxColor(in.i32(), in.i32(), in.u8() & 3);
    },
    keys,
    draw_image,
};
constexpr int32_t kCallCount = sizeof kCalls / sizeof kCalls[0];

void check(const GfxState* s, const std::vector<uint8_t>& before, int32_t op) {
    const GfxContext* c = zq_hGetContext();
    for (int32_t y = 0; y < s->height; ++y) {
        const uint8_t *now = s->framebuffer + y * s->pitch, *was = before.data() + y * s->pitch;
        if (std::memcmp(now, was, static_cast<size_t>(s->pitch)) == 0) continue;
        FUZZ_CHECK(s->dirty[y] != 0 && op != kImage);
        const bool row_in = y >= c->view_y && y < c->view_y + c->view_h;
        for (int32_t x = 0; op == kLine && x < s->width; ++x) {
            const bool in = row_in && x >= c->view_x && x < c->view_x + c->view_w;
            FUZZ_CHECK(in || std::memcmp(now + x * s->bpp, was + x * s->bpp, s->bpp) == 0);
        }
    }
    if (op == kPrint && printed && s->text_cols > 0 && s->text_rows > 0) {
        FUZZ_CHECK(s->cursor_x >= 0 && s->cursor_x < s->text_cols);
        FUZZ_CHECK(s->cursor_y >= 0 && s->cursor_y < s->text_rows);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    __zq_gfx_driver_name = "null";
    FuzzInput in{data, size};
    zq_ConsoleSetTopBotRows(-1, -1);
    zq_GfxScreenRes(in.range(1, 64), in.range(1, 64), depth(in), 1, DriverFlags::NoDisplay, 0);
    std::vector<uint8_t> before;
    for (int32_t calls = 0, opens = 0; !in.empty() && calls < 64; ++calls) {
        int32_t op = in.u8() % kCallCount;
        if (op < kOpens && ++opens > 2) op = kLine;  // big modes are slow: two per program
        GfxState* s = __zq_gfx;
        if (s && op > kOpens) {
            before.assign(s->framebuffer, s->framebuffer + s->height * s->pitch);
            std::memset(s->dirty, 0, static_cast<size_t>(s->height));  // as the display would
        }
        if (s || op <= kOpens) kCalls[op](in);
        if (s && op > kOpens && __zq_gfx == s) check(s, before, op);
    }
    if (!__zq_gfx) zq_GfxScreenRes(8, 8, 8, 1, DriverFlags::NoDisplay, 0);
    while (zq_GfxKeyHit()) zq_StrDelTemp(zq_GfxInkey());
    zq_GfxScreen(0, 0, 0, DriverFlags::Closing, 0);
    return 0;
}
