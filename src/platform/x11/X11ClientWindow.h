#pragma once
// Whether a window that has the focus, or that the window manager calls active, is a
// client's window that the user sees.
#include <xcb/xcb.h>

namespace kamsulo::platform {

// The client window that `window` belongs to (itself or an ancestor), when it is shown:
// viewable and larger than one pixel. A client is what the window manager manages (it
// carries WM_STATE or stands in _NET_CLIENT_LIST); without a window manager, the
// top-level window that is not override-redirect. None (0) otherwise, also for the
// window manager's own windows, such as the one that holds the focus while the desktop
// is in front.
xcb_window_t shownClientWindow(xcb_connection_t* c, xcb_window_t root, xcb_window_t window);

} // namespace kamsulo::platform
