#pragma once
// The desktop system the program talks to, chosen once at start, before the
// application object exists. The backend follows the session, not Qt's platform:
//  - a Wayland session (XDG_SESSION_TYPE=wayland, or WAYLAND_DISPLAY naming a compositor
//    that answers): the Wayland backend, also when Qt runs on XWayland
//    (QT_QPA_PLATFORM=xcb), where an X client sees only X windows;
//  - an X11 session (DISPLAY reachable): the X11 backend;
//  - neither (Qt's offscreen platform in tests): no backend, whose captures fail.
// Qt's platform: as QT_QPA_PLATFORM says; unset, wayland where a compositor answers,
// else xcb.
#include <optional>

namespace kamsulo::platform {

enum class Backend { X11, Wayland, None };

// Chooses the backend and sets QT_QPA_PLATFORM to match. None when Qt's platform
// needs a display that cannot be reached (neither an X display nor a Wayland
// compositor).
std::optional<Backend> loadBackend();

// The backend that loadBackend() chose; X11 when it was never called.
Backend backend();

// Whether Qt's own windows are Wayland surfaces (and not X windows, also not through
// XWayland).
bool windowsOnWayland();

} // namespace kamsulo::platform
