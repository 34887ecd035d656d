#include "X11Focus.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

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

std::uint64_t netActiveWindow() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return 0;
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    Window w = None;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy),
                           XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False), 0, 1, False, XA_WINDOW,
                           &type, &format, &n, &after, &data) == Success &&
        data && n == 1)
        w = *reinterpret_cast<Window*>(data);
    if (data) XFree(data);
    XCloseDisplay(dpy);
    return w;
}

std::uint64_t inputFocus() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return 0;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    XCloseDisplay(dpy);
    return focus == PointerRoot ? 0 : focus;
}

void clickAt(QPoint where) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return;
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), where.x(), where.y(), CurrentTime);
    XTestFakeButtonEvent(dpy, Button1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, Button1, False, CurrentTime);
    XSync(dpy, False);
    XCloseDisplay(dpy);
}
