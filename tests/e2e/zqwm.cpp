// zqwm: the least a window manager does, for the end-to-end tests on Xvfb:
// it maps the windows that ask to be mapped and gives them the focus, passes
// their configure requests through, and keeps their ICCCM WM_STATE property
// (Normal once mapped, Withdrawn once the client unmaps them). Wine waits for
// that state before it hides a window; with no window manager it waits two
// seconds for every window it destroys. Runs until the X server ends.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>

namespace {
bool g_refused = false;

// Windows may vanish between an event and the request that answers it.
int note_error(Display*, XErrorEvent* error) {
    if (error->error_code == BadAccess) g_refused = true;
    return 0;
}

void set_wm_state(Display* display, Window window, Atom wm_state, long state) {
    long data[2] = {state, static_cast<long>(None)};
    XChangeProperty(display, window, wm_state, wm_state, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(data), 2);
}
}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "zqwm: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(note_error);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display, False);
    if (g_refused) {
        std::fprintf(stderr, "zqwm: another window manager runs\n");
        return 1;
    }
    const Atom wm_state = XInternAtom(display, "WM_STATE", False);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case MapRequest: {
                Window window = event.xmaprequest.window;
                set_wm_state(display, window, wm_state, NormalState);
                XMapWindow(display, window);
                XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
                break;
            }
            case ConfigureRequest: {
                const XConfigureRequestEvent& r = event.xconfigurerequest;
                XWindowChanges changes{r.x,     r.y,     r.width, r.height, r.border_width,
                                       r.above, r.detail};
                XConfigureWindow(display, r.window, static_cast<unsigned>(r.value_mask), &changes);
                break;
            }
            case UnmapNotify:
                if (event.xunmap.event == root) {
                    set_wm_state(display, event.xunmap.window, wm_state, WithdrawnState);
                }
                break;
            default:
                break;
        }
        XFlush(display);
    }
}
