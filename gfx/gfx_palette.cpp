// Colour values and the palette of the indexed screens (depths 1 to 8).
//
// Three arrays of the screen take part: `palette` holds the mode's selectable
// colours, `color_association` says which of them each of the 16 attributes
// of the small palettes shows, and `device_palette` is what every attribute
// shows right now (what the blitters and the driver see). On 256-colour
// screens attributes take DAC colours directly and the association is unused.
#include "gfx/gfx_internal.h"

namespace {

constexpr int32_t SMALL_PALETTE_ATTRIBUTES = 16;  // size of color_association
constexpr int32_t DEVICE_PALETTE_SIZE = 256;

// Default attribute colours of the 16-colour modes 7 and 8 (row 0) and of the
// 64-colour mode 9 (row 1).
constexpr uint8_t ega_association[2][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63},
};

// The four selectable palettes of mode 1 (rows 0 to 3) and mode 2 (row 4).
constexpr uint8_t cga_association[5][4] = {
    {0, 11, 13, 15}, {0, 10, 12, 14}, {0, 3, 5, 7}, {0, 2, 4, 6}, {0, 15, 0, 0},
};

struct AssociationTable {
    const uint8_t* colors;
    int32_t count;
};

AssociationTable association_for(int32_t mode, int32_t index) {
    switch (mode) {
        case 1:
            return {cga_association[index >= -3 ? -1 - index : 3], 4};
        case 2:
            return {cga_association[4], 4};
        case 7:
        case 8:
            return {ega_association[0], 16};
        case 9:
            return {ega_association[1], 16};
        default:
            return {nullptr, 0};
    }
}

bool has_dac_palette(const GfxState* s) {
    return s->default_palette == &zq_palette_256;
}

// Attributes the palette arrays can hold: indexes past this are ignored.
int32_t attribute_limit(const GfxState* s) {
    return has_dac_palette(s) ? DEVICE_PALETTE_SIZE : SMALL_PALETTE_ATTRIBUTES;
}

uint32_t entry_of(const uint8_t* rgb) {
    return rgb[0] | uint32_t{rgb[1]} << 8 | uint32_t{rgb[2]} << 16;
}

// A 6-bit DAC component scaled to 8 bits: 63 -> 255, 32 -> 129.
uint32_t dac_to_8bit(uint32_t value) {
    return (value & 0x3F) * 255 / 63;
}

void show_attribute(GfxState* s, int32_t index, uint32_t entry) {
    s->device_palette[index] = entry;
    if (s->driver->set_palette) {
        s->driver->set_palette(index, entry & 0xFF, (entry >> 8) & 0xFF, (entry >> 16) & 0xFF);
    }
}

void mark_all_dirty(GfxState* s) {
    zq_hMemSet(s->dirty, 1, static_cast<size_t>(s->height));
}

// `value` is a DAC value on 256-colour screens, else an index into `palette`.
// The caller locks and marks rows.
void set_color(int32_t index, uint32_t value) {
    GfxState* s = __zq_gfx;
    if (has_dac_palette(s)) {
        show_attribute(
            s, index,
            dac_to_8bit(value) | dac_to_8bit(value >> 8) << 8 | dac_to_8bit(value >> 16) << 16);
        return;
    }
    const uint32_t k = value & static_cast<uint32_t>(s->default_palette->colors - 1);
    s->color_association[index] = static_cast<uint8_t>(k);
    show_attribute(s, index, s->palette[k]);
}

void restore_default_palette(GfxState* s, int32_t index) {
    const PaletteDesc* p = s->default_palette;
    const AssociationTable table = association_for(s->mode_number, index);
    const int32_t attributes = 1 << s->depth;
    for (int32_t i = 0; i < p->colors; ++i) {
        s->palette[i] = entry_of(p->data + i * 3);
        if (i >= attributes) continue;
        int32_t shown = i;
        if (i < table.count) shown = table.colors[i];
        // Identity where no table applies, so port writes never read an
        // association byte that was never set.
        if (i < SMALL_PALETTE_ATTRIBUTES) s->color_association[i] = static_cast<uint8_t>(shown);
        show_attribute(s, i, entry_of(p->data + shown * 3));
    }
}

}  // namespace

uint32_t zq_hMakeColor(int32_t bpp, uint32_t color, int32_t r, int32_t g, int32_t b) {
    if (bpp != 2) return color;
    return static_cast<uint32_t>((b >> 3) | ((g << 3) & 0x7E0) | ((r << 8) & 0xF800));
}

uint32_t zq_hFixColor(int32_t bpp, uint32_t color) {
    const uint32_t made =
        zq_hMakeColor(bpp, color, (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
    if (bpp == 1) return made & 0xFF;
    if (bpp == 2) return made & 0xFFFF;
    return made;
}

void zq_GfxPalette(int32_t index, int32_t r, int32_t g, int32_t b) {
    GfxState* s = __zq_gfx;
    if (!s || s->depth > 8 || index >= attribute_limit(s)) return;
    uint32_t value = 0;
    if (index >= 0) {
        if (g >= 0 && b >= 0) {
            // Components are bytes; masking keeps one from spilling into the next.
            value = (r & 0xFF) >> 2 | ((g & 0xFF) >> 2) << 8 | ((b & 0xFF) >> 2) << 16;
        } else {
            value = static_cast<uint32_t>(r);  // set_color masks it to its form
        }
    }
    zq_hGfxLock();
    if (index >= 0) {
        set_color(index, value);
    } else {
        restore_default_palette(s, index);
    }
    mark_all_dirty(s);
    zq_hGfxUnlock();
}

void zq_GfxPaletteUsing(const int32_t* values) {
    GfxState* s = __zq_gfx;
    if (!s || s->depth > 8 || !values) return;
    const int32_t attributes = 1 << s->depth;
    const int32_t limit = attribute_limit(s) < attributes ? attribute_limit(s) : attributes;
    zq_hGfxLock();
    for (int32_t c = 0; c < limit; ++c) {
        if (values[c] >= 0) set_color(c, static_cast<uint32_t>(values[c]));
    }
    mark_all_dirty(s);
    zq_hGfxUnlock();
}

void zq_hRestorePalette() {
    const GfxState* s = __zq_gfx;
    if (!s || !s->driver->set_palette) return;
    for (int32_t i = 0; i < DEVICE_PALETTE_SIZE; ++i) {
        const uint32_t e = s->device_palette[i];
        s->driver->set_palette(i, e & 0xFF, (e >> 8) & 0xFF, (e >> 16) & 0xFF);
    }
}
