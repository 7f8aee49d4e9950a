// The OpenGL driver: a window with an OpenGL context for programs that draw
// with OpenGL themselves. The framebuffer is not shown. There is no update
// thread: the window's messages are handled on the program's thread by
// poll_events, and flip presents the back buffer.
#include <cstring>

#include "gfx/win32/gfx_opengl.h"
#include "gfx/win32/gfx_win32.h"
#include "gfx/win32/gfx_winrules.h"
#include "runtime/sys.h"

namespace {
struct WGLFunctions {
    HGLRC(WINAPI* wglCreateContext)(HDC);
    BOOL(WINAPI* wglMakeCurrent)(HDC, HGLRC);
    BOOL(WINAPI* wglDeleteContext)(HGLRC);
    PROC(WINAPI* wglGetProcAddress)(LPCSTR);
    const char*(WINAPI* wglGetExtensionsStringARB)(HDC);
    const char*(WINAPI* wglGetExtensionsStringEXT)();  // takes no device context
    BOOL(WINAPI* wglChoosePixelFormatARB)(HDC, const int*, const FLOAT*, UINT, int*, UINT*);
};

constexpr const char* kWglNames[] = {"wglCreateContext", "wglMakeCurrent", "wglDeleteContext",
                                     nullptr};
constexpr DWORD kProbeStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kWindowBaseStyle = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFramedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT kQuietPosFlags =
    SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER;
constexpr uint32_t kMultisample = 0x809D;

WGLFunctions zq_wgl;
void* library;
HGLRC hglrc;
HDC hdc;

template <typename Fn>
void bind(Fn* slot, const void* entry) {
    *slot = reinterpret_cast<Fn>(const_cast<void*>(entry));
}

bool flag(int32_t f) {
    return (zq_win32.mode_flags & f) != 0;
}

// A wglGetProcAddress result that names no function (some systems return
// small values rather than null).
bool no_entry(PROC p) {
    auto v = reinterpret_cast<intptr_t>(p);
    return v == 0 || v == 1 || v == 2 || v == 3 || v == -1;
}

void* wgl_entry(const char* name) {
    PROC p = zq_wgl.wglGetProcAddress ? zq_wgl.wglGetProcAddress(name) : nullptr;
    return no_entry(p) ? nullptr : reinterpret_cast<void*>(p);
}

PIXELFORMATDESCRIPTOR base_descriptor() {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    return pfd;
}

void copy_wishes(const GLParams& p, PIXELFORMATDESCRIPTOR* pfd) {
    pfd->cColorBits = static_cast<BYTE>(p.color_bits);
    pfd->cRedBits = static_cast<BYTE>(p.red_bits);
    pfd->cGreenBits = static_cast<BYTE>(p.green_bits);
    pfd->cBlueBits = static_cast<BYTE>(p.blue_bits);
    pfd->cAlphaBits = static_cast<BYTE>(p.alpha_bits);
    pfd->cDepthBits = static_cast<BYTE>(p.depth_bits);
    pfd->cAccumBits = static_cast<BYTE>(p.accum_bits);
    pfd->cAccumRedBits = static_cast<BYTE>(p.accum_red_bits);
    pfd->cAccumGreenBits = static_cast<BYTE>(p.accum_green_bits);
    pfd->cAccumBlueBits = static_cast<BYTE>(p.accum_blue_bits);
    pfd->cAccumAlphaBits = static_cast<BYTE>(p.accum_alpha_bits);
    pfd->cStencilBits = static_cast<BYTE>(p.stencil_bits);
}

// ---- The window ----

struct WindowShape {
    DWORD style;
    UINT pos_flags;
};

WindowShape window_shape(DWORD style) {
    constexpr DWORD kFrame =
        WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (flag(DriverFlags::Fullscreen)) return {(style & ~kFrame) | WS_POPUP, SWP_FRAMECHANGED};
    if (flag(DriverFlags::Borderless)) return {(style & ~kFrame) | WS_POPUP, kQuietPosFlags};
    DWORD framed = (style & ~static_cast<DWORD>(WS_POPUP | WS_THICKFRAME)) | kFramedStyle;
    if (flag(DriverFlags::FixedMode)) framed &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
    return {framed, kQuietPosFlags};
}

// Sizes, styles and shows the window; also run again by the window/full-screen
// switch, which keeps the window and its context.
int32_t opengl_init() {
    HWND w = zq_win32.window;
    auto style = static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
    if (flag(DriverFlags::Fullscreen) && !zq_hWin32EnterFullscreen()) return -1;
    WindowShape shape = window_shape(style);
    SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(shape.style));
    RECT r = {0, 0, zq_win32.win_width, zq_win32.win_height};
    int32_t x = 0, y = 0;
    if (!flag(DriverFlags::Fullscreen)) {
        AdjustWindowRect(&r, shape.style, FALSE);
        x = (GetSystemMetrics(SM_CXSCREEN) - r.right) >> 1;
        y = (GetSystemMetrics(SM_CYSCREEN) - r.bottom) >> 1;
    }
    SetWindowPos(w, HWND_TOP, x, y, r.right - r.left, r.bottom - r.top, shape.pos_flags);
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    zq_win32.active = 1;
    HDC dc = GetDC(w);
    __zq_gfx->refresh_rate = GetDeviceCaps(dc, VREFRESH);
    ReleaseDC(w, dc);
    return 0;
}

void opengl_exit() {
    if (flag(DriverFlags::Fullscreen)) ChangeDisplaySettingsA(nullptr, 0);
    ShowWindow(zq_win32.window, SW_HIDE);
}

void opengl_paint() {}

// ---- Opening ----

// A throw-away window with a context, to learn the WGL extensions before the
// real window's pixel format is chosen (a format can be set only once).
int32_t probe_extensions() {
    HWND probe = CreateWindowExA(0, zq_win32.class_name_buffer, "OpenGL setup", kProbeStyle, 0, 0,
                                 8, 8, nullptr, nullptr, zq_win32.module, nullptr);
    if (!probe) return -1;
    HDC dc = GetDC(probe);
    PIXELFORMATDESCRIPTOR pfd = base_descriptor();
    SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
    HGLRC context = zq_wgl.wglCreateContext(dc);
    if (context) zq_wgl.wglMakeCurrent(dc, context);

    bind(&zq_wgl.wglGetProcAddress, sys_lib_symbol(library, "wglGetProcAddress"));
    const char* wgl_extensions = nullptr;
    bind(&zq_wgl.wglGetExtensionsStringARB, wgl_entry("wglGetExtensionsStringARB"));
    if (zq_wgl.wglGetExtensionsStringARB) {
        wgl_extensions = zq_wgl.wglGetExtensionsStringARB(dc);
    } else {
        bind(&zq_wgl.wglGetExtensionsStringEXT, wgl_entry("wglGetExtensionsStringEXT"));
        if (zq_wgl.wglGetExtensionsStringEXT) wgl_extensions = zq_wgl.wglGetExtensionsStringEXT();
    }
    // The entry points need a current context.
    int32_t r = context ? zq_hGL_Init(library, wgl_extensions) : -1;
    if (r == 0 && zq_hGL_ExtensionSupported("WGL_ARB_pixel_format")) {
        bind(&zq_wgl.wglChoosePixelFormatARB, wgl_entry("wglChoosePixelFormatARB"));
    }

    zq_wgl.wglMakeCurrent(nullptr, nullptr);
    if (context) zq_wgl.wglDeleteContext(context);
    ReleaseDC(probe, dc);
    DestroyWindow(probe);
    return r;
}

bool arb_choose(const int32_t* attribs, void*, int32_t* format, uint32_t* found) {
    UINT n = 0;
    int f = 0;
    BOOL ok = zq_wgl.wglChoosePixelFormatARB(hdc, attribs, nullptr, 1, &f, &n);
    *format = f;
    *found = n;
    return ok != FALSE;
}

int32_t choose_format(int32_t* attribs, int32_t sample_index, const PIXELFORMATDESCRIPTOR& pfd) {
    int32_t format = 0;
    if (zq_wgl.wglChoosePixelFormatARB) {
        format = zq_hGLChooseArbFormat(attribs, sample_index, arb_choose, nullptr);
    }
    return format ? format : ChoosePixelFormat(hdc, &pfd);
}

int32_t create_context() {
    zq_hGL_NormalizeParameters(zq_win32.mode_flags);
    int32_t attribs[ZQ_GL_ATTRIB_MAX];
    int32_t sample_index = zq_hGLBuildAttributes(__zq_gl_params, attribs);
    PIXELFORMATDESCRIPTOR pfd = base_descriptor();
    copy_wishes(__zq_gl_params, &pfd);
    hdc = GetDC(zq_win32.window);
    if (!hdc) return -1;
    int32_t format = choose_format(attribs, sample_index, pfd);
    if (!format || !SetPixelFormat(hdc, format, &pfd)) return -1;
    hglrc = zq_wgl.wglCreateContext(hdc);
    if (!hglrc || !zq_wgl.wglMakeCurrent(hdc, hglrc)) return -1;
    if (sample_index >= 0 && attribs[sample_index] > 0) __zq_gl.glEnable(kMultisample);
    return 0;
}

int32_t driver_init(const char* title, int32_t w, int32_t h, int32_t depth, int32_t refresh_rate,
                    int32_t flags) {
    if (depth < 8) depth = 8;
    std::memset(&zq_win32, 0, sizeof zq_win32);
    std::memset(&zq_wgl, 0, sizeof zq_wgl);
    hglrc = nullptr;
    library = nullptr;
    hdc = nullptr;
    // A shaped window is keyed on framebuffer colours, which are not shown.
    if (!(flags & DriverFlags::OpenGL) || (flags & DriverFlags::Shaped)) return -1;
    void* wgl[3];
    library = zq_hDynLoad("opengl32.dll", kWglNames, wgl);
    if (!library) return -1;
    bind(&zq_wgl.wglCreateContext, wgl[0]);
    bind(&zq_wgl.wglMakeCurrent, wgl[1]);
    bind(&zq_wgl.wglDeleteContext, wgl[2]);
    zq_win32.window_init = opengl_init;
    zq_win32.window_exit = opengl_exit;
    zq_win32.window_paint = opengl_paint;
    if (zq_hWin32Init(title, w, h, depth, refresh_rate, flags) != 0) return -1;
    if (probe_extensions() != 0) return -1;
    if (zq_hInitWindow(kWindowBaseStyle, 0, 0, 0, 8, 8) != 0 || opengl_init() != 0) return -1;
    return create_context();
}

void driver_exit() {
    if (library) {
        if (hglrc) {
            zq_wgl.wglMakeCurrent(nullptr, nullptr);
            zq_wgl.wglDeleteContext(hglrc);
            hglrc = nullptr;
        }
        if (hdc) ReleaseDC(zq_win32.window, hdc);
        hdc = nullptr;
        if (flag(DriverFlags::Fullscreen)) ChangeDisplaySettingsA(nullptr, 0);
        if (zq_win32.window) DestroyWindow(zq_win32.window);
        zq_win32.window = nullptr;
        zq_hDynUnload(&library);
        std::memset(&__zq_gl, 0, sizeof __zq_gl);
        std::memset(&zq_wgl, 0, sizeof zq_wgl);
    }
    zq_hWin32Exit();
}

void driver_lock() {}
void driver_unlock() {}

void driver_flip() {
    if (hdc) SwapBuffers(hdc);
}

void driver_poll_events() {
    if (zq_win32.active) zq_hWin32UpdateKeyState();
    zq_hHandleMessages();
}

int32_t* driver_fetch_modes(int32_t depth, int32_t* count) {
    int32_t* modes = nullptr;
    *count = 0;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
        if (static_cast<int32_t>(mode.dmBitsPerPel) != depth) continue;
        int32_t* grown = zq_hAppendMode(modes, count, mode.dmPelsWidth, mode.dmPelsHeight);
        if (!grown) break;
        modes = grown;
    }
    return modes;
}
}  // namespace

void* zq_hGL_GetProcAddress(const char* name) {
    return wgl_entry(name);
}

// OpenGL 1.1 functions are exported by the library and not offered by
// wglGetProcAddress, so the library is asked when it has nothing.
void* zq_GfxGetGLProcAddress(const char* name) {
    const GfxState* s = __zq_gfx;
    if (!s || !(s->flags & SCREEN_OPENGL) || !library || !name) return nullptr;
    void* entry = wgl_entry(name);
    return entry ? entry : sys_lib_symbol(library, name);
}

GfxDriver zq_gfxDriverOpenGL = {
    "OpenGL",                 // name
    driver_init,              // init
    driver_exit,              // exit
    driver_lock,              // lock
    driver_unlock,            // unlock
    nullptr,                  // set_palette
    zq_hWin32WaitVSync,       // wait_vsync
    zq_hWin32GetMouse,        // get_mouse
    zq_hWin32SetMouse,        // set_mouse
    zq_hWin32SetWindowTitle,  // set_window_title
    zq_hWin32SetWindowPos,    // set_window_pos
    driver_fetch_modes,       // fetch_modes
    driver_flip,              // flip
    driver_poll_events,       // poll_events
};
