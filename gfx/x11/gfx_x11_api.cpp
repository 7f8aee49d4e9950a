// Loads libX11, libXext and libXrandr through the runtime's library loading,
// so that a program built here starts on machines without X and fails only
// when it asks for a window.
#include <cstring>

#include "gfx/x11/gfx_x11.h"

X11Api zq_x11api;

namespace {
#define ZQ_X11_NAME(name) #name,
#define ZQ_X11_COUNT(name) +1
constexpr const char* kX11Names[] = {ZQ_X11_ENTRY_POINTS(ZQ_X11_NAME) nullptr};
constexpr const char* kXextNames[] = {ZQ_XEXT_ENTRY_POINTS(ZQ_X11_NAME) nullptr};
constexpr const char* kXrandrNames[] = {ZQ_XRANDR_ENTRY_POINTS(ZQ_X11_NAME) nullptr};
constexpr int kX11Count = 0 ZQ_X11_ENTRY_POINTS(ZQ_X11_COUNT);
constexpr int kXextCount = 0 ZQ_XEXT_ENTRY_POINTS(ZQ_X11_COUNT);
constexpr int kXrandrCount = 0 ZQ_XRANDR_ENTRY_POINTS(ZQ_X11_COUNT);

pthread_mutex_t load_lock = PTHREAD_MUTEX_INITIALIZER;
int32_t loaded;  // guarded by load_lock: 0 not tried, 1 loaded, -1 missing

// Data and function pointers have one size on the platforms this builds for.
template <typename Fn>
void bind(Fn* slot, void* entry) {
    static_assert(sizeof(Fn) == sizeof(void*));
    std::memcpy(slot, &entry, sizeof entry);
}

int32_t load() {
    void* x11_entries[kX11Count];
    void* xext_entries[kXextCount];
    void* xrandr_entries[kXrandrCount];
    void* x11 = zq_hDynLoad("libX11.so.6", kX11Names, x11_entries);
    if (!x11) return -1;
    void* xext = zq_hDynLoad("libXext.so.6", kXextNames, xext_entries);
    if (!xext) {
        zq_hDynUnload(&x11);
        return -1;
    }
    int i = 0;
#define ZQ_X11_BIND(name) bind(&zq_x11api.name, x11_entries[i++]);
    ZQ_X11_ENTRY_POINTS(ZQ_X11_BIND)
#undef ZQ_X11_BIND
    i = 0;
#define ZQ_X11_BIND(name) bind(&zq_x11api.name, xext_entries[i++]);
    ZQ_XEXT_ENTRY_POINTS(ZQ_X11_BIND)
#undef ZQ_X11_BIND
    // Without RandR the refresh rate is taken as 60 Hz.
    if (zq_hDynLoad("libXrandr.so.2", kXrandrNames, xrandr_entries)) {
        i = 0;
#define ZQ_X11_BIND(name) bind(&zq_x11api.name, xrandr_entries[i++]);
        ZQ_XRANDR_ENTRY_POINTS(ZQ_X11_BIND)
#undef ZQ_X11_BIND
        zq_x11api.has_xrandr = true;
    }
    // Before any other call: the update thread and fetch_modes may each hold
    // a connection.
    zq_x11api.XInitThreads();
    return 0;
}
}  // namespace

int32_t zq_hX11Load() {
    pthread_mutex_lock(&load_lock);
    if (loaded == 0) loaded = load() == 0 ? 1 : -1;
    int32_t result = loaded == 1 ? 0 : -1;
    pthread_mutex_unlock(&load_lock);
    return result;
}
