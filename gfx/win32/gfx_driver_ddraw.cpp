// The DirectX driver: DirectDraw shows the framebuffer, DirectInput reads the
// keyboard. In a window the changed lines are converted into an off-screen
// surface in system memory that a clipped blit stretches onto the client
// area; in full screen the driver owns the display, searches for a usable mode
// and converts straight into the primary surface, centred vertically. Its
// update thread follows the program's vertical-blank waits, so a frame is
// copied right after the retrace.
#define DIRECTINPUT_VERSION 0x0300
#include <ddraw.h>
#include <dinput.h>

#include <cstdlib>
#include <cstring>

#include "gfx/win32/gfx_ddrawrules.h"
#include "gfx/win32/gfx_win32.h"
#include "gfx/win32/gfx_winrules.h"

namespace {
using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
using DirectInputCreateFn = HRESULT(WINAPI*)(HINSTANCE, DWORD, LPDIRECTINPUTA*, LPUNKNOWN);

constexpr GUID kIID_IDirectDraw2 = {
    0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
constexpr GUID kGUID_SysKeyboard = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID kGUID_Key = {
    0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr DWORD kWindowedStyle =
    WS_VISIBLE | WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kPassSleepMs = 10;
constexpr DWORD kVsyncWaitMs = 20;
constexpr DWORD kRebuildRetryMs = 300;
// A surface that stays lost is tried again on the next pass rather than in a
// loop that would hold the display lock while another program owns the display.
constexpr int kLostRetries = 3;

HMODULE dd_library, di_library;
IDirectDraw2* lpDD;
IDirectDrawSurface* lpDDS;
IDirectDrawSurface* lpDDS_back;  // the primary itself in full screen
IDirectDrawPalette* lpDDP;
IDirectInputA* lpDI;
IDirectInputDeviceA* lpDID;
DIOBJECTDATAFORMAT c_rgodfDIKeyboard[256];
DIDATAFORMAT c_dfDIKeyboard;
RECT rect;
int32_t win_x, win_y;
int32_t display_offset;
int32_t wait_vsync;    // under the update lock
HANDLE vsync_event;    // lives as long as the update thread
VsyncPacer pacer;      // program's thread only
bool rebuild_pending;  // update thread only: the driver is down until a retry works

bool flag(int32_t f) {
    return (zq_win32.mode_flags & f) != 0;
}

template <typename Fn>
Fn find_proc(HMODULE module, const char* name) {
    FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

template <typename T>
void release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

void mark_all_dirty() {
    GfxState* s = __zq_gfx;
    if (s && s->dirty) zq_hMemSet(s->dirty, 1, static_cast<size_t>(zq_win32.win_height));
}

// ---- Opening ----

int32_t create_directdraw() {
    auto create = find_proc<DirectDrawCreateFn>(dd_library, "DirectDrawCreate");
    IDirectDraw* first = nullptr;
    if (!create || create(nullptr, &first, nullptr) != DD_OK) return -1;
    HRESULT r = first->QueryInterface(kIID_IDirectDraw2, reinterpret_cast<void**>(&lpDD));
    first->Release();
    if (r != DD_OK) lpDD = nullptr;
    return lpDD ? 0 : -1;
}

int32_t create_directinput() {
    auto create = find_proc<DirectInputCreateFn>(di_library, "DirectInputCreateA");
    if (!create || create(zq_win32.module, 0x0300, &lpDI, nullptr) != DI_OK) {
        lpDI = nullptr;
        return -1;
    }
    return 0;
}

bool set_mode(void*, int32_t w, int32_t h, int32_t bits, int32_t refresh, uint32_t flags) {
    return lpDD->SetDisplayMode(static_cast<DWORD>(w), static_cast<DWORD>(h),
                                static_cast<DWORD>(bits), static_cast<DWORD>(refresh),
                                flags) == DD_OK;
}

int32_t open_fullscreen() {
    if (zq_hInitWindow(WS_POPUP | WS_VISIBLE, 0, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                       GetSystemMetrics(SM_CYSCREEN)) != 0)
        return -1;
    if (lpDD->SetCooperativeLevel(zq_win32.window,
                                  DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE) != DD_OK)
        return -1;
    int32_t h = zq_hDdrawFindMode(zq_win32.win_width, zq_win32.win_height, zq_win32.bits_per_pixel,
                                  zq_win32.refresh_hz, set_mode, nullptr);
    if (h < 0) return -1;
    display_offset = (h - zq_win32.win_height) >> 1;
    return 0;
}

DWORD windowed_style() {
    if (flag(DriverFlags::Borderless)) return WS_POPUP | WS_VISIBLE;
    if (flag(DriverFlags::FixedMode)) return kWindowedStyle & ~static_cast<DWORD>(WS_MAXIMIZEBOX);
    return kWindowedStyle;
}

int32_t open_window(IDirectDrawClipper** clipper) {
    DWORD style = windowed_style();
    AdjustWindowRect(&rect, style, FALSE);
    rect.right -= rect.left;
    rect.bottom -= rect.top;
    if (zq_hInitWindow(style, 0, win_x, win_y, rect.right, rect.bottom) != 0) return -1;
    if (lpDD->SetCooperativeLevel(zq_win32.window, DDSCL_NORMAL) != DD_OK) return -1;
    if (lpDD->CreateClipper(0, clipper, nullptr) != DD_OK) {
        *clipper = nullptr;
        return -1;
    }
    if ((*clipper)->SetHWnd(0, zq_win32.window) != DD_OK) return -1;
    display_offset = 0;
    return 0;
}

int32_t create_surfaces(IDirectDrawClipper* clipper) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (lpDD->CreateSurface(&desc, &lpDDS, nullptr) != DD_OK) {
        lpDDS = nullptr;
        return -1;
    }
    if (flag(DriverFlags::Fullscreen)) {
        lpDDS_back = lpDDS;
        return 0;
    }
    if (lpDDS->SetClipper(clipper) != DD_OK) return -1;
    desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(zq_win32.win_width);
    desc.dwHeight = static_cast<DWORD>(zq_win32.win_height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (lpDD->CreateSurface(&desc, &lpDDS_back, nullptr) != DD_OK) {
        lpDDS_back = nullptr;
        return -1;
    }
    return 0;
}

// The blitter for the primary's format, and its palette on an 8-bit display.
int32_t choose_blitter() {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof format;
    if (lpDDS->GetPixelFormat(&format) != DD_OK || !(format.dwFlags & DDPF_RGB)) return -1;
    int32_t bits = static_cast<int32_t>(format.dwRGBBitCount);
    if (bits == 8) {
        if (lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, zq_win32.palette_entries, &lpDDP,
                                nullptr) != DD_OK) {
            lpDDP = nullptr;
            return -1;
        }
        lpDDS->SetPalette(lpDDP);
        zq_win32.palette_dirty = 0;
    }
    DdrawBlitFormat f = zq_hDdrawBlitFormat(bits, format.dwRBitMask, format.dwGBitMask);
    zq_win32.blit = zq_hGetBlitter(f.depth, f.rgb);
    return zq_win32.blit ? 0 : -1;
}

void build_keyboard_format() {
    for (DWORD i = 0; i < 256; ++i) {
        c_rgodfDIKeyboard[i] = {&kGUID_Key, i, DIDFT_OPTIONAL | DIDFT_BUTTON | (i << 8), 0};
    }
    // The record sizes are the target's own: 64-bit systems check them.
    c_dfDIKeyboard = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256,
                      c_rgodfDIKeyboard};
}

int32_t open_keyboard() {
    build_keyboard_format();
    if (lpDI->CreateDevice(kGUID_SysKeyboard, &lpDID, nullptr) != DI_OK) {
        lpDID = nullptr;
        return -1;
    }
    if (lpDID->SetDataFormat(&c_dfDIKeyboard) != DI_OK) return -1;
    return lpDID->Acquire() == DI_OK ? 0 : -1;
}

int32_t open_display() {
    rect = {0, 0, zq_win32.win_width, zq_win32.win_height};
    IDirectDrawClipper* clipper = nullptr;
    int32_t r = flag(DriverFlags::Fullscreen) ? open_fullscreen() : open_window(&clipper);
    if (r == 0) r = create_surfaces(clipper);
    // The primary keeps its own reference to the clipper.
    release(clipper);
    return r;
}

int32_t directx_init() {
    lpDDS_back = nullptr;
    lpDDP = nullptr;
    lpDI = nullptr;
    lpDDS = nullptr;
    lpDD = nullptr;
    lpDID = nullptr;
    dd_library = LoadLibraryA("ddraw.dll");
    di_library = LoadLibraryA("dinput.dll");
    if (!dd_library || !di_library) return -1;
    if (create_directdraw() != 0 || create_directinput() != 0) return -1;
    if (open_display() != 0 || choose_blitter() != 0) return -1;
    DWORD hz = 0;
    lpDD->GetMonitorFrequency(&hz);
    __zq_gfx->refresh_rate = static_cast<int32_t>(hz);
    return open_keyboard();
}

// ---- Closing ----

void clear_primary() {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    lpDDS->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void release_directdraw() {
    bool fullscreen = flag(DriverFlags::Fullscreen);
    if (fullscreen && lpDDS) clear_primary();
    if (lpDDS_back == lpDDS) lpDDS_back = nullptr;
    release(lpDDS_back);
    release(lpDDS);
    release(lpDDP);
    if (fullscreen) {
        lpDD->RestoreDisplayMode();
        lpDD->SetCooperativeLevel(zq_win32.window, DDSCL_NORMAL);
    }
    release(lpDD);
}

void directx_exit() {
    if (zq_win32.window && !flag(DriverFlags::Fullscreen)) {
        RECT r;
        if (GetWindowRect(zq_win32.window, &r)) {
            win_x = r.left;
            win_y = r.top;
        }
    }
    if (lpDID) lpDID->Unacquire();
    release(lpDID);
    release(lpDI);
    if (lpDD) release_directdraw();
    if (zq_win32.window) DestroyWindow(zq_win32.window);
    zq_win32.window = nullptr;
    if (dd_library) FreeLibrary(dd_library);
    if (di_library) FreeLibrary(di_library);
    dd_library = di_library = nullptr;
}

// ---- Lost surfaces ----

// One attempt to build the driver again; on failure it stays down (every
// pointer null, so passes draw nothing) and the update thread tries again
// after a pause that it spends outside the display lock.
void try_rebuild() {
    if (directx_init() != 0) {
        directx_exit();
        rebuild_pending = true;
        return;
    }
    rebuild_pending = false;
    FLASHWINFO stop{};
    stop.cbSize = sizeof stop;
    stop.hwnd = zq_win32.window;
    stop.dwFlags = FLASHW_STOP;
    FlashWindowEx(&stop);
    mark_all_dirty();
}

// The display mode was changed under us: build everything again.
void rebuild() {
    directx_exit();
    try_rebuild();
}

void restore_surfaces() {
    for (int i = 0; i < kLostRetries; ++i) {
        if (!lpDDS || lpDDS->IsLost() != DDERR_SURFACELOST) return;
        if (lpDDS_back && lpDDS_back != lpDDS) lpDDS_back->Restore();
        if (lpDDS->Restore() == DDERR_WRONGMODE) rebuild();
        // A restored surface has lost its pixels.
        mark_all_dirty();
    }
}

// ---- The update thread ----

void directx_paint() {
    if (flag(DriverFlags::Fullscreen) || !lpDDS || !lpDDS_back) return;
    RECT source = {0, 0, zq_win32.win_width, zq_win32.win_height};
    RECT client;
    GetClientRect(zq_win32.window, &client);
    POINT origin = {0, 0};
    ClientToScreen(zq_win32.window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    for (int i = 0; i < kLostRetries; ++i) {
        restore_surfaces();
        if (!lpDDS || !lpDDS_back) return;
        if (lpDDS->Blt(&client, lpDDS_back, &source, DDBLT_WAIT, nullptr) != DDERR_SURFACELOST)
            return;
    }
}

HRESULT lock_back(DDSURFACEDESC* desc) {
    HRESULT r = DDERR_SURFACELOST;
    for (int i = 0; i < kLostRetries && r == DDERR_SURFACELOST; ++i) {
        if (i > 0) restore_surfaces();
        if (!lpDDS_back) return DDERR_SURFACELOST;
        *desc = {};
        desc->dwSize = sizeof *desc;
        r = lpDDS_back->Lock(nullptr, desc, DDLOCK_WAIT, nullptr);
    }
    return r;
}

// Converts the changed lines into the back surface; false when nothing was
// copied (the dirty flags then stay set for the next pass).
bool copy_dirty_lines() {
    DDSURFACEDESC desc;
    if (lock_back(&desc) != DD_OK) return false;
    bool fits = desc.lpSurface && desc.dwWidth >= static_cast<DWORD>(zq_win32.win_width) &&
                desc.dwHeight >= static_cast<DWORD>(display_offset + zq_win32.win_height);
    if (fits) {
        auto* lines = static_cast<uint8_t*>(desc.lpSurface) +
                      static_cast<ptrdiff_t>(desc.lPitch) * display_offset;
        zq_win32.blit(lines, static_cast<int32_t>(desc.lPitch));
    }
    lpDDS_back->Unlock(nullptr);
    if (fits) zq_hMemSet(__zq_gfx->dirty, 0, static_cast<size_t>(zq_win32.win_height));
    return fits;
}

// The keyboard's state, read without the display lock (reading it can take a
// scheduler slice); false when there is none to use this pass.
bool poll_keyboard(uint8_t* state) {
    if (!zq_win32.active || !lpDID) return false;
    HRESULT r = lpDID->GetDeviceState(256, state);
    if (r == DIERR_NOTACQUIRED || r == DIERR_INPUTLOST) {
        lpDID->Acquire();
        return false;
    }
    return true;
}

void directx_pass(const uint8_t* keys) {
    if (wait_vsync) {
        WaitForSingleObject(vsync_event, kVsyncWaitMs);
        wait_vsync = 0;
    }
    // A full-screen display in the background is left alone.
    if (!zq_win32.active && flag(DriverFlags::Fullscreen)) return;
    if (zq_win32.palette_dirty && lpDDP) {
        lpDDP->SetEntries(0, 0, 256, zq_win32.palette_entries);
        zq_win32.palette_dirty = 0;
    }
    if (copy_dirty_lines()) directx_paint();
    if (keys && zq_win32.active) zq_hDdrawKeyState(keys, __zq_gfx->key_state);
}

unsigned __stdcall directx_thread(void* start_event) {
    vsync_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!vsync_event || directx_init() != 0) {
        directx_exit();
        if (vsync_event) CloseHandle(vsync_event);
        vsync_event = nullptr;
        return 1;
    }
    SetEvent(static_cast<HANDLE>(start_event));
    zq_win32.active = 1;
    rebuild_pending = false;
    while (zq_hWin32Running()) {
        // While another program holds the display, the program's thread keeps
        // drawing (and can end) during the long pause.
        Sleep(rebuild_pending ? kRebuildRetryMs : kPassSleepMs);
        uint8_t keys[256] = {};
        bool have_keys = poll_keyboard(keys);
        zq_hWin32Lock();
        if (rebuild_pending) try_rebuild();
        directx_pass(have_keys ? keys : nullptr);
        zq_hHandleMessages();
        zq_hWin32Unlock();
    }
    directx_exit();
    CloseHandle(vsync_event);
    vsync_event = nullptr;
    return 0;
}

// ---- Driver operations ----

int32_t driver_init(const char* title, int32_t w, int32_t h, int32_t depth, int32_t refresh_rate,
                    int32_t flags) {
    std::memset(&zq_win32, 0, sizeof zq_win32);
    if (flags & (DriverFlags::OpenGL | DriverFlags::Shaped)) return -1;
    zq_win32.window_init = directx_init;
    zq_win32.window_exit = directx_exit;
    zq_win32.update_thread = directx_thread;
    zq_win32.window_paint = directx_paint;
    win_x = (GetSystemMetrics(SM_CXSCREEN) - w) >> 1;
    win_y = (GetSystemMetrics(SM_CYSCREEN) - h) >> 1;
    pacer = {};
    return zq_hWin32Init(title, w, h, depth < 8 ? 8 : depth, refresh_rate, flags);
}

int64_t now_us() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart / frequency.QuadPart * 1000000 +
           count.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

// The DirectDraw object for a use outside the display lock, where the update
// thread may rebuild the driver at any pass: a reference keeps the object,
// and a reference on ddraw.dll keeps the code it runs. Call with the lock.
IDirectDraw2* hold_directdraw(HMODULE* library) {
    *library = nullptr;
    if (!lpDD || !dd_library) return nullptr;
    if (!GetModuleHandleExA(0, "ddraw.dll", library)) return nullptr;
    lpDD->AddRef();
    return lpDD;
}

void let_go_directdraw(IDirectDraw2* dd, HMODULE library) {
    if (dd) dd->Release();
    if (library) FreeLibrary(library);
}

void driver_wait_vsync() {
    ResetEvent(vsync_event);
    zq_hWin32Lock();
    HMODULE library;
    IDirectDraw2* dd = hold_directdraw(&library);
    int32_t refresh_rate = __zq_gfx->refresh_rate;
    wait_vsync = 1;
    zq_hWin32Unlock();
    int64_t start = now_us();
    bool ok = dd && dd->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr) == DD_OK;
    int64_t end = now_us();
    let_go_directdraw(dd, library);
    // Where the wait waited for nothing, frames are held one refresh apart.
    int64_t sleep_us = zq_hVsyncPaceUs(&pacer, start, end, zq_hRefreshPeriodUs(refresh_rate), ok);
    if (sleep_us > 0) Sleep(static_cast<DWORD>((sleep_us + 999) / 1000));
    SetEvent(vsync_event);
}

struct ModeList {
    int32_t depth;
    int32_t count;
    int32_t* modes;
};

HRESULT WINAPI fetch_modes_callback(LPDDSURFACEDESC desc, LPVOID context) {
    auto* list = static_cast<ModeList*>(context);
    const DDPIXELFORMAT& f = desc->ddpfPixelFormat;
    int32_t bits = zq_hDdrawFormatDepth(static_cast<int32_t>(f.dwRGBBitCount), f.dwGBitMask);
    if (bits != list->depth) return DDENUMRET_OK;
    int32_t* grown = zq_hAppendMode(list->modes, &list->count, desc->dwWidth, desc->dwHeight);
    if (!grown) return DDENUMRET_CANCEL;  // keep what was listed so far
    list->modes = grown;
    return DDENUMRET_OK;
}

// A DirectDraw object of our own, for listing modes while no screen is open;
// *library holds ddraw.dll for as long as the object is used.
IDirectDraw2* create_lister(HMODULE* library) {
    *library = LoadLibraryA("ddraw.dll");
    auto create = find_proc<DirectDrawCreateFn>(*library, "DirectDrawCreate");
    IDirectDraw* first = nullptr;
    IDirectDraw2* dd = nullptr;
    if (create && create(nullptr, &first, nullptr) == DD_OK) {
        if (first->QueryInterface(kIID_IDirectDraw2, reinterpret_cast<void**>(&dd)) != DD_OK)
            dd = nullptr;
        first->Release();
    }
    if (!dd && *library) {
        FreeLibrary(*library);
        *library = nullptr;
    }
    return dd;
}

int32_t* driver_fetch_modes(int32_t depth, int32_t* count) {
    IDirectDraw2* dd = nullptr;
    HMODULE library = nullptr;
    if (zq_hWin32Running() && zq_win32.update_thread == directx_thread) {
        zq_hWin32Lock();
        dd = hold_directdraw(&library);
        zq_hWin32Unlock();
    }
    if (!dd) dd = create_lister(&library);
    if (!dd) return nullptr;
    ModeList list = {depth, 0, nullptr};
    if (dd->EnumDisplayModes(DDEDM_STANDARDVGAMODES, nullptr, &list, fetch_modes_callback) !=
        DD_OK) {
        std::free(list.modes);
        list = {depth, 0, nullptr};
    }
    let_go_directdraw(dd, library);
    *count = list.count;
    return list.modes;
}
}  // namespace

GfxDriver zq_gfxDriverDirectDraw = {
    "DirectX",                // name
    driver_init,              // init
    zq_hWin32Exit,            // exit
    zq_hWin32Lock,            // lock
    zq_hWin32Unlock,          // unlock
    zq_hWin32SetPalette,      // set_palette
    driver_wait_vsync,        // wait_vsync
    zq_hWin32GetMouse,        // get_mouse
    zq_hWin32SetMouse,        // set_mouse
    zq_hWin32SetWindowTitle,  // set_window_title
    zq_hWin32SetWindowPos,    // set_window_pos
    driver_fetch_modes,       // fetch_modes
    nullptr,                  // flip
    nullptr,                  // poll_events
};
