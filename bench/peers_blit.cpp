// Whole-frame conversions: every blitter member, plain and MMX, on a 640 x 480
// framebuffer with all lines dirty, against SDL2 (SDL_BlitSurface between the
// matching SDL formats, 8-bit sources through an SDL_Palette), pixman
// (composite with PIXMAN_OP_SRC, pixman_blt for copies) and memcpy of the
// framebuffer's bytes. The members run on screens of this file's own, put in
// place only for the call, so that the screen other rows draw on stays as it
// is.
#include <SDL.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "bench/peers.h"
#include "gfx/blit/gfx_blitter.h"
#include "gfx/gfx_internal.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;
constexpr size_t kMaxFrame = size_t(kWidth) * kHeight * 4;
constexpr uint8_t kUnwritten = 0xA5;

// One framebuffer per source family (8, 16 and 32 bits), random bytes.
struct Source {
    GfxState state{};
    std::vector<uint8_t> pixels, dirty;
    std::vector<uint32_t> palette;
};

Source& source(int depth) {
    static Source sources[3];
    Source& s = sources[depth == 8 ? 0 : depth == 16 ? 1 : 2];
    if (!s.pixels.empty()) return s;
    const int32_t bpp = depth / 8;
    s.pixels.resize(size_t(kWidth) * kHeight * size_t(bpp));
    s.dirty.assign(kHeight, 1);
    s.palette.resize(256);
    uint32_t seed = uint32_t(depth);
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (uint8_t& b : s.pixels) b = uint8_t(next() >> 24);
    for (uint32_t& e : s.palette) e = next() & 0xFFFFFFu;  // red in byte 0
    GfxState& g = s.state;
    g.framebuffer = s.pixels.data();
    g.width = kWidth, g.height = kHeight, g.depth = depth, g.bpp = bpp, g.pitch = kWidth * bpp;
    g.device_palette = s.palette.data();
    g.dirty = s.dirty.data();
    g.line_repeat = 1;
    g.flags = SCREEN_HAS_MMX;
    return s;
}

// The display images every row writes into, one at a time.
struct Images {
    std::vector<uint8_t> ours = std::vector<uint8_t>(kMaxFrame);
    std::vector<uint8_t> peer = std::vector<uint8_t>(kMaxFrame);
    std::vector<uint8_t> copy = std::vector<uint8_t>(kMaxFrame);
    uint32_t conv_rgb[512], conv_bgr[512];  // the 16-to-32 tables of both orders
};

Images& images() {
    static Images i;
    return i;
}

// Puts a source's screen and a 16-to-32 table in place for one call.
class OnScreen {
   public:
    OnScreen(GfxState* s, uint32_t* conv) : s_(__zq_gfx), conv_(__zq_color_conv_16to32) {
        __zq_gfx = s;
        __zq_color_conv_16to32 = conv;
    }
    ~OnScreen() {
        __zq_gfx = s_;
        __zq_color_conv_16to32 = conv_;
    }

   private:
    GfxState* s_;
    uint32_t* conv_;
};

struct Member {
    const char* name;
    Blitter blit;
    int src, dst;
    bool rgb;
};

// clang-format off
#define ZQ_PAIR(name, src, dst, rgb) \
    {#name, zq_hBlit##name, src, dst, rgb}, {#name "MMX", zq_hBlit##name##MMX, src, dst, rgb}
const Member kMembers[] = {
    {"Copy8", zq_hBlitCopy, 8, 8, false}, {"Copy16", zq_hBlitCopy, 16, 16, false},
    {"Copy32", zq_hBlitCopy, 32, 32, false},
    ZQ_PAIR(8to15RGB, 8, 15, true),   ZQ_PAIR(8to15BGR, 8, 15, false),
    ZQ_PAIR(8to16RGB, 8, 16, true),   ZQ_PAIR(8to16BGR, 8, 16, false),
    ZQ_PAIR(8to24RGB, 8, 24, true),   ZQ_PAIR(8to24BGR, 8, 24, false),
    ZQ_PAIR(8to32RGB, 8, 32, true),   ZQ_PAIR(8to32BGR, 8, 32, false),
    ZQ_PAIR(16to15RGB, 16, 15, true), ZQ_PAIR(16to15BGR, 16, 15, false),
    ZQ_PAIR(16to16RGB, 16, 16, true),
    {"16to24RGB", zq_hBlit16to24, 16, 24, true}, {"16to24RGBMMX", zq_hBlit16to24MMX, 16, 24, true},
    {"16to24BGR", zq_hBlit16to24, 16, 24, false}, {"16to24BGRMMX", zq_hBlit16to24MMX, 16, 24, false},
    {"16to32RGB", zq_hBlit16to32, 16, 32, true}, {"16to32RGBMMX", zq_hBlit16to32MMX, 16, 32, true},
    {"16to32BGR", zq_hBlit16to32, 16, 32, false}, {"16to32BGRMMX", zq_hBlit16to32MMX, 16, 32, false},
    ZQ_PAIR(32to15RGB, 32, 15, true), ZQ_PAIR(32to15BGR, 32, 15, false),
    ZQ_PAIR(32to16RGB, 32, 16, true), ZQ_PAIR(32to16BGR, 32, 16, false),
    ZQ_PAIR(32to24RGB, 32, 24, true), ZQ_PAIR(32to24BGR, 32, 24, false),
    ZQ_PAIR(32to32RGB, 32, 32, true),
};
#undef ZQ_PAIR
// clang-format on

int pixel_bytes(int depth) {
    return depth == 15 ? 2 : depth / 8;
}

size_t frame_bytes(int depth) {
    return size_t(kWidth) * kHeight * size_t(pixel_bytes(depth));
}

// ---- The peers' formats ----

uint32_t sdl_format(int depth, bool rgb, bool alpha) {
    switch (depth) {
        case 8:
            return SDL_PIXELFORMAT_INDEX8;
        case 15:
            return rgb ? SDL_PIXELFORMAT_BGR555 : SDL_PIXELFORMAT_RGB555;
        case 16:
            return rgb ? SDL_PIXELFORMAT_BGR565 : SDL_PIXELFORMAT_RGB565;
        case 24:
            return rgb ? SDL_PIXELFORMAT_RGB24 : SDL_PIXELFORMAT_BGR24;
        default:
            if (alpha) return rgb ? SDL_PIXELFORMAT_ABGR8888 : SDL_PIXELFORMAT_ARGB8888;
            return rgb ? SDL_PIXELFORMAT_XBGR8888 : SDL_PIXELFORMAT_XRGB8888;
    }
}

pixman_format_code_t pixman_format(int depth, bool rgb, bool alpha) {
    switch (depth) {
        case 8:
            return PIXMAN_c8;
        case 15:
            return rgb ? PIXMAN_x1b5g5r5 : PIXMAN_x1r5g5b5;
        case 16:
            return rgb ? PIXMAN_b5g6r5 : PIXMAN_r5g6b5;
        case 24:
            return rgb ? PIXMAN_b8g8r8 : PIXMAN_r8g8b8;
        default:
            if (alpha) return rgb ? PIXMAN_a8b8g8r8 : PIXMAN_a8r8g8b8;
            return rgb ? PIXMAN_x8b8g8r8 : PIXMAN_x8r8g8b8;
    }
}

// A palette entry as pixman and SDL take it.
uint32_t entry_argb(uint32_t e) {
    return 0xFF000000u | (e & 0xFF) << 16 | (e & 0xFF00) | (e >> 16 & 0xFF);
}

// The peers' surfaces over the framebuffer and the peer image; they live as
// long as the program.
struct PeerImages {
    SDL_Surface *sdl_src = nullptr, *sdl_dst = nullptr;
    pixman_image_t *px_src = nullptr, *px_dst = nullptr;
    pixman_indexed_t indexed{};
};

PeerImages* open_peers(const Member& m) {
    auto* p = new PeerImages;
    Source& s = source(m.src);
    uint8_t* peer = images().peer.data();
    const bool alpha = m.src == 32;  // 32-bit sources pass their fourth byte on
    const int src_pitch = s.state.pitch, dst_pitch = kWidth * pixel_bytes(m.dst);
    p->sdl_src = SDL_CreateRGBSurfaceWithFormatFrom(s.pixels.data(), kWidth, kHeight, m.src,
                                                    src_pitch, sdl_format(m.src, false, true));
    p->sdl_dst = SDL_CreateRGBSurfaceWithFormatFrom(peer, kWidth, kHeight, m.dst, dst_pitch,
                                                    sdl_format(m.dst, m.rgb, alpha));
    if (m.src == 8) {
        SDL_Color colors[256];
        for (int i = 0; i < 256; ++i) {
            const uint32_t e = s.palette[size_t(i)];
            colors[i] = {uint8_t(e), uint8_t(e >> 8), uint8_t(e >> 16), 0xFF};
        }
        SDL_SetPaletteColors(p->sdl_src->format->palette, colors, 0, 256);
        if (m.dst == 8) SDL_SetPaletteColors(p->sdl_dst->format->palette, colors, 0, 256);
        p->indexed.color = 1;
        for (int i = 0; i < 256; ++i) p->indexed.rgba[i] = entry_argb(s.palette[size_t(i)]);
    }
    SDL_SetSurfaceBlendMode(p->sdl_src, SDL_BLENDMODE_NONE);
    p->px_src = pixman_image_create_bits(pixman_format(m.src, false, true), kWidth, kHeight,
                                         reinterpret_cast<uint32_t*>(s.pixels.data()), src_pitch);
    if (m.src == 8) pixman_image_set_indexed(p->px_src, &p->indexed);
    p->px_dst = pixman_image_create_bits(pixman_format(m.dst, m.rgb, alpha), kWidth, kHeight,
                                         reinterpret_cast<uint32_t*>(peer), dst_pitch);
    return p;
}

// ---- Contenders ----

void ours(const Member& m, uint8_t* out) {
    Source& s = source(m.src);
    OnScreen on(&s.state, m.rgb ? images().conv_rgb : images().conv_bgr);
    m.blit(out, kWidth * pixel_bytes(m.dst));
}

void sdl_pass(PeerImages* p) {
    SDL_BlitSurface(p->sdl_src, nullptr, p->sdl_dst, nullptr);
}

void pixman_pass(PeerImages* p) {
    pixman_image_composite32(PIXMAN_OP_SRC, p->px_src, nullptr, p->px_dst, 0, 0, 0, 0, 0, 0, kWidth,
                             kHeight);
}

bool blt_pass(const Member& m) {
    const int bpp = pixel_bytes(m.src) * 8, stride = kWidth * bpp / 32;
    return pixman_blt(reinterpret_cast<uint32_t*>(source(m.src).pixels.data()),
                      reinterpret_cast<uint32_t*>(images().peer.data()), stride, stride, bpp, bpp,
                      0, 0, 0, 0, kWidth, kHeight);
}

// ---- Checks ----

// How a peer's image is compared with ours: the bytes of one display pixel
// that must agree (a mask per byte) and why the others may differ.
struct Agreement {
    uint8_t mask[4];
    const char* note;  // empty: byte for byte
};

constexpr Agreement kExact{{0xFF, 0xFF, 0xFF, 0xFF}, ""};
constexpr Agreement kNoFourthByte{{0xFF, 0xFF, 0xFF, 0x00},
                                  "unused fourth byte differs (ours 0), colours equal"};
constexpr Agreement kTopBits{{0xF8, 0xFC, 0xF8, 0x00},
                             "widens 5/6 bits by repeating them (ours: zero bits); top bits equal"};

bool agrees(const Member& m, const Agreement& a) {
    const Images& im = images();
    const size_t n = frame_bytes(m.dst), px = size_t(pixel_bytes(m.dst));
    for (size_t i = 0; i < n; ++i) {
        const uint8_t mask = a.mask[i % px];
        if ((im.ours[i] & mask) != (im.peer[i] & mask)) return false;
    }
    return true;
}

// The closest agreement the peer's image (already made) has with ours; null
// when none holds. Looser ones apply only where the formats differ by design.
const Agreement* agreement(const Member& m) {
    Images& im = images();
    std::memset(im.ours.data(), kUnwritten, frame_bytes(m.dst));
    ours(m, im.ours.data());
    if (agrees(m, kExact)) return &kExact;
    if (m.dst == 32 && m.src != 32 && agrees(m, kNoFourthByte)) return &kNoFourthByte;
    if (m.src == 16 && m.dst >= 24 && agrees(m, kTopBits)) return &kTopBits;
    return nullptr;
}

struct Peer {
    std::string name;
    std::function<void()> pass;
};

// Runs the peer into a cleared image and compares.
const Agreement* compare(const Member& m, const Peer& peer) {
    std::memset(images().peer.data(), kUnwritten, frame_bytes(m.dst));
    peer.pass();
    return agreement(m);
}

std::vector<Peer> peers_of(const Member& m) {
    PeerImages* p = open_peers(m);
    std::vector<Peer> list;
    const bool copy = m.src == m.dst && !m.rgb;
    if (p->sdl_src && p->sdl_dst) list.push_back({"SDL2 SDL_BlitSurface", [p] { sdl_pass(p); }});
    if (copy) {
        if (blt_pass(m)) list.push_back({"pixman_blt", [m] { blt_pass(m); }});
    } else if (p->px_src && p->px_dst) {
        list.push_back({"pixman composite SRC", [p] { pixman_pass(p); }});
    }
    return list;
}

// A peer named with "[~]" agrees with ours only where the formats differ by
// design (the check prints how); "[DIFFERS]" fails the check.
PeerRow make_row(const Member& m) {
    PeerRow row;
    row.workload = m.name;
    row.pixels = double(kWidth) * kHeight;
    row.contenders.push_back(
        {std::string("zq_hBlit") + m.name, [m] { ours(m, images().ours.data()); }});
    std::vector<Peer> peers = peers_of(m);
    std::vector<const Agreement*> found;
    for (const Peer& peer : peers) {
        const Agreement* a = compare(m, peer);
        found.push_back(a);
        std::string name = peer.name;
        if (!a)
            name += " [DIFFERS]";
        else if (*a->note)
            name += " [~]";
        row.contenders.push_back({name, peer.pass});
    }
    const uint8_t* fb = source(m.src).pixels.data();
    const size_t fb_bytes = frame_bytes(m.src);
    row.contenders.push_back({"memcpy (framebuffer bytes)",
                              [fb, fb_bytes] { std::memcpy(images().copy.data(), fb, fb_bytes); }});
    // Checks each peer again under the agreement it showed; a peer that does
    // not agree at all fails the row.
    row.check = [m, peers, found]() -> std::string {
        for (size_t i = 0; i < peers.size(); ++i) {
            const Agreement* now = compare(m, peers[i]);
            if (!found[i] || now != found[i]) return "ours differs from " + peers[i].name;
            std::printf("%s: %s %s\n", m.name, peers[i].name.c_str(),
                        *now->note ? now->note : "agrees byte for byte");
        }
        if (peers.empty()) std::printf("%s: no peer has the format\n", m.name);
        return "";
    };
    return row;
}

std::vector<PeerRow> make_rows() {
    // The 16-to-32 tables, as a driver's choice of a member fills them.
    for (bool rgb : {false, true}) {
        OnScreen on(&source(16).state, rgb ? images().conv_rgb : images().conv_bgr);
        zq_hGetBlitter(32, rgb);
    }
    std::vector<PeerRow> rows;
    for (const Member& m : kMembers) rows.push_back(make_row(m));
    return rows;
}

const bool added = zq_bench_add_rows(make_rows);

}  // namespace
