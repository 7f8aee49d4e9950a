// The line editor and the text input calls on the graphics screen, driven by
// any key stream from any cursor position: each returns the line a simple
// model of its keys gives, and nothing is written outside the screen's buffers.
#include <string>

#include "fuzz/fuzz_input.h"
#include "gfx/gfx_internal.h"

namespace {
FuzzInput keys{nullptr, 0};
constexpr int32_t kExtended[] = {0x47FF, 0x4BFF, 0x4DFF, 0x4FFF, 0x52FF,
                                 0x53FF, 0x6BFF, 0x48FF, 0x3BFF, 0};

// The next key; Enter once the input is used up, so every read ends.
int32_t next_key() {
    if (keys.empty()) return 13;
    const uint8_t b = keys.u8();
    return b < 0xF6 ? b : kExtended[b - 0xF6];
}

// The editor's line for the same keys, or false when it ends without one.
bool model_line(FuzzInput k, std::string* text) {
    size_t pos = 0;
    bool insert = true;
    for (keys = k;;) {
        const int32_t key = next_key();
        if (key <= 0 || key == 0x6BFF) return false;
        if (key == 13) return true;
        if (key == 8 && pos > 0) text->erase(--pos, 1);
        if (key == 0x53FF && pos < text->size()) text->erase(pos, 1);
        if (key == 27) text->clear(), pos = 0;
        if (key == 0x4BFF && pos > 0) --pos;
        if (key == 0x4DFF && pos < text->size()) ++pos;
        if (key == 0x47FF) pos = 0;
        if (key == 0x4FFF) pos = text->size();
        if (key == 0x52FF) insert = !insert;
        if (key < 32 || key > 255) continue;
        if ((insert || pos == text->size()) && text->size() < 4095)
            text->insert(pos++, 1, static_cast<char>(key));
        else if (!insert && pos < text->size())
            (*text)[pos++] = static_cast<char>(key);
    }
}

std::string model_read_str(FuzzInput k, int32_t max_len) {
    std::string text;
    for (keys = k;;) {
        const int32_t key = next_key();
        if (key <= 0) return text;
        if (key > 255 || key == 7) continue;
        if (key == 8) {
            if (!text.empty()) text.pop_back();
            continue;
        }
        if (static_cast<int32_t>(text.size()) < max_len - 1) text += static_cast<char>(key);
        if (key == 13) return text;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    __zq_gfx_driver_name = "null";
    FuzzInput in{data, size};
    zq_ConsoleSetTopBotRows(-1, -1);
    if (zq_GfxScreenRes(in.range(1, 200), in.range(1, 120), in.u8() & 1 ? 8 : 32, 1,
                        DriverFlags::NoDisplay, 0) != 0)
        return 0;
    __zq_ctx.hooks.hook_getkey = next_key;
    zq_ConsoleView(in.range(0, 16), in.range(0, 16));
    zq_GfxLocateRaw(in.range(-1, 30), in.range(-1, 30), 0);
    const uint8_t call = in.u8() % 3;
    const int32_t size_arg = in.range(1, 64);
    const FuzzInput start = in;
    keys = in;
    if (call == 2) {
        char buffer[64];
        const char* r = zq_GfxReadStr(buffer, size_arg);
        FUZZ_CHECK(r == buffer && model_read_str(start, size_arg) == buffer);
        FUZZ_CHECK(__zq_gfx->cursor_y >= 0);
    } else {
        std::string expected;
        // No text grid (a screen under 8 pixels wide): no line can be edited.
        const bool has_line = model_line(start, &expected) && __zq_gfx->text_cols > 0;
        keys = start;
        char narrow[64] = {};
        char16_t wide[64] = {};
        const int32_t r = call == 0 ? zq_GfxLineInput(nullptr, narrow, size_arg, 1, 0, 1)
                                    : zq_GfxLineInputWstr(u"?", wide, size_arg, 1, 0);
        FUZZ_CHECK(r == (has_line ? 0 : 4));
        expected.resize(has_line ? std::min<size_t>(expected.size(), size_arg - 1) : 0);
        for (size_t i = 0; call == 1 && i < 64; ++i) narrow[i] = static_cast<char>(wide[i]);
        FUZZ_CHECK(expected == narrow);
    }
    zq_GfxScreen(0, 0, 0, DriverFlags::Closing, 0);
    return 0;
}
