#pragma once
// What the X11 backend knows of top-level windows: the one in front, its frame, and
// where it and its client area lie. X11's own terms; nothing outside platform/x11/ but
// the X11 tests uses them.
#include <QImage>
#include <QRect>
#include <cstdint>

namespace kamsulo::platform {

using WindowId = std::uint64_t; // an X window; 0: none

class X11Windows {
public:
    virtual ~X11Windows() = default;
    // The foreground window: the window manager's active window, or the input focus
    // when there is none, each only when it is a client's window that is shown. 0 when
    // neither is (the desktop in front).
    virtual WindowId activeWindow() = 0;
    // The outer window as the window manager shows it (frame and title bar), i.e. the
    // ancestor of `window` that is a child of the root. 0 when the window is gone.
    virtual WindowId frameOf(WindowId window) = 0;
    // Outer rectangle of a window in root coordinates; empty when it is gone.
    virtual QRect windowRect(WindowId window) = 0;
    // Client rectangle (the window itself, without the frame) in root coordinates.
    virtual QRect clientRect(WindowId window) = 0;
    // A copy of a rectangle of the root window, in root pixels. Parts outside the root
    // window are black. Format_RGB32 with opaque alpha.
    virtual QImage grabRoot(const QRect& rect) = 0;
};

// The X11 backend's windows; null when another backend serves.
X11Windows* x11Windows();

} // namespace kamsulo::platform
