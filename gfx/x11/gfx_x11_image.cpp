// The image the update thread converts the changed lines into and sends to
// the window: in shared memory (MIT-SHM) when the server offers it and can
// reach the segment, else in client memory through XPutImage (a remote
// display, or a server without the extension).
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include "gfx/win32/gfx_winrules.h"
#include "gfx/x11/gfx_x11.h"

namespace {
X11Api& x = zq_x11api;
bool attach_failed;  // set by the error handler while attaching

int note_attach_error(Display*, XErrorEvent*) {
    attach_failed = true;
    return 0;
}

// The blitter for the image's pixel layout, or null for a layout none
// converts to (indexed visuals among them).
Blitter choose_blitter(const XImage* image) {
    unsigned long red = image->red_mask;
    int bits = image->bits_per_pixel;
    if (bits == 32 || bits == 24) {
        if (red == 0xFF0000) return zq_hGetBlitter(bits, 0);
        if (red == 0xFF) return zq_hGetBlitter(bits, 1);
    } else if (bits == 16) {
        if (red == 0xF800) return zq_hGetBlitter(16, 0);
        if (red == 0x1F && image->green_mask == 0x7E0) return zq_hGetBlitter(16, 1);
        if (red == 0x7C00) return zq_hGetBlitter(15, 0);
        if (red == 0x1F) return zq_hGetBlitter(15, 1);
    }
    return nullptr;
}

XImage* make_shm_image() {
    Display* d = zq_x11.display;
    XShmSegmentInfo& shm = zq_x11.shm;
    shm.shmid = -1;
    XImage* image = x.XShmCreateImage(
        d, zq_x11.visual, static_cast<unsigned>(zq_x11.visual_depth), ZPixmap, nullptr, &shm,
        static_cast<unsigned>(zq_x11.win_width), static_cast<unsigned>(zq_x11.win_height));
    if (!image) return nullptr;
    size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
    shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* mem = shm.shmid >= 0 ? shmat(shm.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    if (mem == reinterpret_cast<void*>(-1)) {
        if (shm.shmid >= 0) shmctl(shm.shmid, IPC_RMID, nullptr);
        shm.shmid = -1;
        image->data = nullptr;
        XDestroyImage(image);
        return nullptr;
    }
    shm.shmaddr = image->data = static_cast<char*>(mem);
    shm.readOnly = False;
    // A server on another machine cannot reach the segment: it answers with
    // an error, which the handler notes instead of ending the program.
    attach_failed = false;
    auto previous = x.XSetErrorHandler(note_attach_error);
    Status attached = x.XShmAttach(d, &shm);
    x.XSync(d, False);
    x.XSetErrorHandler(previous);
    // Gone once both sides detach, even if the program dies first.
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (!attached || attach_failed) {
        shmdt(shm.shmaddr);
        shm.shmaddr = nullptr;
        shm.shmid = -1;
        image->data = nullptr;
        XDestroyImage(image);
        return nullptr;
    }
    return image;
}

XImage* make_plain_image() {
    Display* d = zq_x11.display;
    XImage* image = x.XCreateImage(d, zq_x11.visual, static_cast<unsigned>(zq_x11.visual_depth),
                                   ZPixmap, 0, nullptr, static_cast<unsigned>(zq_x11.win_width),
                                   static_cast<unsigned>(zq_x11.win_height), 32, 0);
    if (!image) return nullptr;
    // The blitters write little-endian pixels; Xlib swaps them for a server
    // that wants the other order.
    image->byte_order = LSBFirst;
    size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
    image->data = static_cast<char*>(std::calloc(bytes, 1));
    if (!image->data) {
        XDestroyImage(image);
        return nullptr;
    }
    return image;
}
}  // namespace

int32_t zq_hX11MakeImage(bool allow_shm) {
    Display* d = zq_x11.display;
    zq_x11.use_shm = false;
    if (allow_shm && ImageByteOrder(d) == LSBFirst && x.XShmQueryExtension(d)) {
        zq_x11.image = make_shm_image();
        zq_x11.use_shm = zq_x11.image != nullptr;
    }
    if (!zq_x11.image) zq_x11.image = make_plain_image();
    if (!zq_x11.image) return -1;
    zq_x11.blit = choose_blitter(zq_x11.image);
    return zq_x11.blit ? 0 : -1;
}

void zq_hX11FreeImage() {
    XImage* image = zq_x11.image;
    if (!image) return;
    if (zq_x11.use_shm) {
        x.XShmDetach(zq_x11.display, &zq_x11.shm);
        x.XSync(zq_x11.display, False);
        shmdt(zq_x11.shm.shmaddr);
        zq_x11.shm.shmaddr = nullptr;
    } else {
        std::free(image->data);
    }
    image->data = nullptr;
    XDestroyImage(image);
    zq_x11.image = nullptr;
    zq_x11.use_shm = false;
}

bool zq_hX11SendDirty() {
    const GfxState* s = __zq_gfx;
    DirtyBand band;
    if (!zq_hDirtyBand(s->dirty, s->height, s->line_repeat, &band)) return false;
    XImage* image = zq_x11.image;
    zq_x11.blit(reinterpret_cast<uint8_t*>(image->data), image->bytes_per_line);
    auto width = static_cast<unsigned>(zq_x11.win_width);
    auto count = static_cast<unsigned>(band.count);
    if (zq_x11.use_shm) {
        x.XShmPutImage(zq_x11.display, zq_x11.window, zq_x11.gc, image, 0, band.first, 0,
                       band.first, width, count, False);
        // The server reads the segment after the call returns: wait for it
        // before the next pass writes there again.
        x.XSync(zq_x11.display, False);
    } else {
        x.XPutImage(zq_x11.display, zq_x11.window, zq_x11.gc, image, 0, band.first, 0, band.first,
                    width, count);
        x.XFlush(zq_x11.display);
    }
    return true;
}
