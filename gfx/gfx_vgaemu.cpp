// The VGA colour registers and input status port, for the port statements of
// programs written for indexed screens.
//
// One register index serves reads (0x3C7) and writes (0x3C8); each access to
// the data port 0x3C9 moves through red, green and blue (6 bits each) and
// then to the next index. The register state belongs to the process, not to
// a screen: a new screen keeps it.
#include "gfx/gfx_internal.h"

namespace {

constexpr uint16_t PORT_READ_INDEX = 0x3C7;
constexpr uint16_t PORT_WRITE_INDEX = 0x3C8;
constexpr uint16_t PORT_DATA = 0x3C9;
constexpr uint16_t PORT_INPUT_STATUS = 0x3DA;
constexpr int32_t RETRACE_BIT = 8;
constexpr int32_t FIRST_SHIFT = 2;  // components sit at bits 2-7, 10-15, 18-23
constexpr int32_t LAST_SHIFT = 18;

int32_t idx = 0;
int32_t shift = FIRST_SHIFT;
uint32_t color = 0;

int32_t index_mask(const GfxState* s) {
    return s->default_palette->colors - 1;
}

void next_register(const GfxState* s) {
    shift = FIRST_SHIFT;
    idx = (idx + 1) & index_mask(s);
}

// Stores the assembled colour: a DAC colour on 256-colour screens, else a new
// colour-table entry shown by every attribute that selects it.
void store_color(GfxState* s) {
    if (s->default_palette == &zq_palette_256) {
        zq_GfxPalette(idx, static_cast<int32_t>((color >> 2) & 0x3F3F3F), -1, -1);
        return;
    }
    zq_hGfxLock();
    s->palette[idx] = color;
    const int32_t attributes = s->depth < 4 ? 1 << s->depth : 16;
    for (int32_t i = 0; i < attributes; ++i) {
        if (s->color_association[i] != idx) continue;
        s->device_palette[i] = color;
        if (s->driver->set_palette) {
            s->driver->set_palette(i, color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
        }
    }
    zq_hMemSet(s->dirty, 1, static_cast<size_t>(s->height));
    zq_hGfxUnlock();
}

}  // namespace

int32_t zq_GfxOut(uint16_t port, uint8_t value) {
    GfxState* s = __zq_gfx;
    if (!s || s->depth > 8) return -1;
    if (port == PORT_READ_INDEX || port == PORT_WRITE_INDEX) {
        color = 0;
        idx = value & index_mask(s);
        shift = FIRST_SHIFT;
        return 0;
    }
    if (port != PORT_DATA) return -1;
    color |= uint32_t{value & 0x3Fu} << shift;
    shift += 8;
    if (shift <= LAST_SHIFT) return 0;
    store_color(s);
    color = 0;
    next_register(s);
    return 0;
}

int32_t zq_GfxIn(uint16_t port) {
    GfxState* s = __zq_gfx;
    if (!s) return -1;
    if (port == PORT_INPUT_STATUS) {
        if (s->driver->wait_vsync) s->driver->wait_vsync();
        return RETRACE_BIT;
    }
    if (port != PORT_DATA || s->depth > 8) return -1;
    const int32_t component = static_cast<int32_t>((s->device_palette[idx] >> shift) & 0x3F);
    shift += 8;
    if (shift > LAST_SHIFT) next_register(s);
    return component;
}
