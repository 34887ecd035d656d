#include "platform/DisplayCheck.h"

#include <X11/Xlib.h>

namespace kamsulo::platform {

bool x11DisplayReachable() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

} // namespace kamsulo::platform
