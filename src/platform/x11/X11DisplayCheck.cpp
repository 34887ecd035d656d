#include "platform/DisplayCheck.h"

#include <xcb/xcb.h>

namespace kamsulo::platform {

// Asked before the application exists: a connection of its own, closed at once.
bool x11DisplayReachable() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return reachable;
}

} // namespace kamsulo::platform
