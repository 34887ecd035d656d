#include "X11Focus.h"

#include <X11/Xlib.h>

void dropActiveHintAndFocus(std::uint64_t window) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return;
    XDeleteProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False));
    XSetInputFocus(dpy, static_cast<Window>(window), RevertToParent, CurrentTime);
    XSync(dpy, False);
    XCloseDisplay(dpy);
}
