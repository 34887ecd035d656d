#include "X11Focus.h"

#include <X11/Xlib.h>

bool hasWindowManager() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return false;
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", True);
    bool found = false;
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, AnyPropertyType,
                               &type, &format, &n, &after, &data) == Success) {
            found = n > 0;
            if (data) XFree(data);
        }
    }
    XCloseDisplay(dpy);
    return found;
}

void focusDirectly(std::uint64_t window) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return;
    XSetInputFocus(dpy, static_cast<Window>(window), RevertToParent, CurrentTime);
    XSync(dpy, False);
    XCloseDisplay(dpy);
}
