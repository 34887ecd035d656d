#pragma once
// While it lives, X errors of the requests made are ignored instead of the default
// handler ending the program (a window may go away between two requests about it);
// the previous handler comes back afterwards.
#include <X11/Xlib.h>

namespace kamsulo::platform {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* d) : dpy_(d) {
        XSync(dpy_, False);
        previous_ = XSetErrorHandler(ignore);
    }
    ~X11ErrorTrap() {
        XSync(dpy_, False);
        XSetErrorHandler(previous_);
    }
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }

    Display* dpy_;
    XErrorHandler previous_ = nullptr;
};

} // namespace kamsulo::platform
