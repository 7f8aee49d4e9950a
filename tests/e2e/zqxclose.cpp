// zqxclose WINDOW: asks an X window to close the way a window manager's close
// button does, with a WM_PROTOCOLS / WM_DELETE_WINDOW client message. An id
// of no window ends it through Xlib's error handler.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const Window window = argc == 2 ? std::strtoul(argv[1], nullptr, 0) : 0;
    Display* display = window ? XOpenDisplay(nullptr) : nullptr;
    if (!display) {
        std::fprintf(stderr, "usage: zqxclose WINDOW (a window id, not 0), with DISPLAY set\n");
        return 2;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
