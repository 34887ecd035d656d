#pragma once
// The desktop system the program talks to, chosen once at start, before the
// application object exists:
//  - QT_QPA_PLATFORM unset and a Wayland compositor reachable through WAYLAND_DISPLAY:
//    Qt's wayland platform and the Wayland backend;
//  - QT_QPA_PLATFORM=wayland...: the Wayland backend;
//  - QT_QPA_PLATFORM=xcb, or unset without Wayland: the X11 backend (under a Wayland
//    compositor through XWayland);
//  - any other Qt platform (offscreen in tests): the X11 backend, unchecked.
#include <optional>

namespace kamsulo::platform {

enum class Backend { X11, Wayland };

// Chooses the backend and sets QT_QPA_PLATFORM to match. None when neither an X
// display nor a Wayland compositor can be reached.
std::optional<Backend> loadBackend();

// The backend that loadBackend() chose; X11 when it was never called.
Backend backend();

} // namespace kamsulo::platform
