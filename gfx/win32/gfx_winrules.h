// The window layer's decisions that need no Windows headers, kept apart so
// that the host tests check them: the vertical-sync period, the control-key
// state of a key message, the dirty band of a GDI pass, the GDI conversion
// choice and the display-mode list.
#pragma once

#include <cstdint>

// Milliseconds between two refreshes at `hz`. 0 and 1 both mean "the
// hardware's default rate" (1 is what some systems report), and nonsense
// rates are unknown too: 16 ms then.
int32_t zq_hRefreshPeriodMs(int32_t hz);

// The console's control-key state bits (KeyState) from a 256-byte keyboard
// state (bit 7 = key down); `extended` adds the enhanced-key bit.
int32_t zq_hKeyControlState(const uint8_t* keyboard, bool extended);

// The band of display lines one GDI pass sends: from the first to the last
// dirty framebuffer line among `lines`, each framebuffer line standing for
// `line_repeat` display lines. False when no line is dirty.
struct DirtyBand {
    int32_t first;  // display line
    int32_t count;  // display lines
};
bool zq_hDirtyBand(const uint8_t* dirty, int32_t lines, int32_t line_repeat, DirtyBand* band);

// How the GDI driver turns the framebuffer into its bitmap.
enum class GdiConversion {
    None,          // the framebuffer is the bitmap
    To555,         // 5-6-5 pixels to the 5-5-5 of a 16-bit bitmap
    LineCopy,      // same format, into 4-byte-aligned (or repeated) lines
    AlphaRemover,  // 32-bit shaped window: the alpha byte cleared
};
GdiConversion zq_hGdiConversion(int32_t bits_per_pixel, int32_t width, int32_t line_repeat,
                                bool shaped);

// Whether a display mode of `mode_bits` serves a screen of `depth` (15 and 16,
// 24 and 32 stand for each other).
bool zq_hModeDepthMatches(int32_t mode_bits, int32_t depth);

// Appends (width << 16) | height to a malloc'ed mode list of *count entries.
// Returns the grown list, or null on failure with `modes` left as it was.
int32_t* zq_hAppendMode(int32_t* modes, int32_t* count, uint32_t width, uint32_t height);
