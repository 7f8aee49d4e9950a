// Reads one line with zq_GfxLineInput after the prompt "Name" on a 640 x 480,
// 32-bit screen.
//
//   text_input                      on the display driver: prints the line
//                                   read as "line: [TEXT]"; exits 0, or 1
//                                   when no line could be read
//   text_input --ppm FILE STEP...   on the Null driver, with the keys of the
//                                   steps: once they run out, writes the
//                                   framebuffer to FILE and exits 0
// A step is "type:TEXT" (its characters) or a key name as xdotool spells it,
// so a script can give the same steps to both.
#include <cstdio>
#include <cstring>
#include <deque>
#include <string_view>

#include "gfx/gfx_internal.h"
#include "text_ppm.h"

namespace {
struct NamedKey {
    std::string_view name;
    int32_t code;
};
constexpr NamedKey kKeys[] = {
    {"Left", 0x4BFF},   {"Right", 0x4DFF},  {"Home", 0x47FF}, {"End", 0x4FFF},
    {"Delete", 0x53FF}, {"Insert", 0x52FF}, {"BackSpace", 8}, {"Return", 13},
};

std::deque<int32_t> g_keys;
const char* g_ppm = nullptr;
bool g_written = false;

bool add_step(std::string_view step) {
    constexpr std::string_view kType = "type:";
    if (step.substr(0, kType.size()) == kType) {
        for (char c : step.substr(kType.size())) g_keys.push_back(static_cast<uint8_t>(c));
        return true;
    }
    for (const NamedKey& k : kKeys) {
        if (k.name != step) continue;
        g_keys.push_back(k.code);
        return true;
    }
    return false;
}

// Out of keys, it draws the screen as it stands and answers 0, which ends
// the line input without a line.
int32_t scripted_getkey() {
    if (g_keys.empty()) {
        g_written = g_written || write_screen_ppm(g_ppm);
        return 0;
    }
    int32_t key = g_keys.front();
    g_keys.pop_front();
    return key;
}

ZqString* name_prompt() {
    ZqString* prompt = zq_StrAllocTemp(4);
    std::memcpy(prompt->data, "Name", 4);
    return prompt;
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    bool scripted = argc > 2 && std::strcmp(argv[1], "--ppm") == 0;
    if (scripted) {
        g_ppm = argv[2];
        for (int i = 3; i < argc; ++i) {
            if (add_step(argv[i])) continue;
            std::printf("text_input: unknown step '%s'\n", argv[i]);
            zq_End(2);
        }
    }
    if (zq_GfxScreen(18, 32, 1, scripted ? DriverFlags::NoDisplay : 0, 0) != 0 || !__zq_gfx) {
        std::printf("text_input: the screen did not open\n");
        zq_End(1);
    }
    if (scripted) __zq_ctx.hooks.hook_getkey = scripted_getkey;
    ZqString line{};
    int32_t error = zq_GfxLineInput(name_prompt(), &line, -1, 0, 1, 1);
    if (scripted) zq_End(g_written ? 0 : 1);
    if (error != 0) {
        std::printf("text_input: no line (error %d)\n", static_cast<int>(error));
        zq_End(1);
    }
    std::printf("line: [%.*s]\n", static_cast<int>(line.len), line.data ? line.data : "");
    std::fflush(stdout);
    zq_StrDelete(&line);
    zq_End(0);
}
