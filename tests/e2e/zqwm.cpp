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

void pass_configure(Display* display, const XConfigureRequestEvent& request) {
    XWindowChanges changes{};
    changes.x = request.x;
    changes.y = request.y;
    changes.width = request.width;
    changes.height = request.height;
    changes.border_width = request.border_width;
    changes.sibling = request.above;
    changes.stack_mode = request.detail;
    XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask), &changes);
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
            case ConfigureRequest:
                pass_configure(display, event.xconfigurerequest);
                break;
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
