// Chooses the backend at start and hands out its implementations.
#include "platform/Backend.h"
#include "platform/Backends.h"
#include "platform/Capabilities.h"
#include "platform/DisplayCheck.h"
#include "platform/KeyInjector.h"
#include "platform/ScreenGrabber.h"
#include "platform/WindowPlacement.h"

#include <QByteArray>
#include <QWidget>

namespace kamsulo::platform {

namespace {
Backend g_backend = Backend::X11;
bool g_windowsOnWayland = false;

bool waylandSession() {
    return qgetenv("XDG_SESSION_TYPE") == "wayland" || waylandDisplayReachable();
}
} // namespace

std::optional<Backend> loadBackend() {
    QByteArray qpa = qgetenv("QT_QPA_PLATFORM");
    if (qpa.isEmpty()) {
        qpa = waylandDisplayReachable() ? "wayland" : "xcb";
        qputenv("QT_QPA_PLATFORM", qpa);
    }
    g_windowsOnWayland = qpa.startsWith("wayland");
    // Qt's platform must reach its display.
    if (g_windowsOnWayland && !waylandDisplayReachable()) return std::nullopt;
    const bool onX = qpa == "xcb";
    if (onX && !x11DisplayReachable()) return std::nullopt;
    if (waylandSession())
        g_backend = Backend::Wayland;
    else
        g_backend = onX || x11DisplayReachable() ? Backend::X11 : Backend::None;
    return g_backend;
}

Backend backend() {
    return g_backend;
}

bool windowsOnWayland() {
    return g_windowsOnWayland;
}

ScreenGrabber& screenGrabber() {
    static const std::unique_ptr<ScreenGrabber> instance =
        g_backend == Backend::Wayland ? makeWaylandScreenGrabber()
        : g_backend == Backend::X11   ? makeX11ScreenGrabber()
                                      : makeNullScreenGrabber();
    return *instance;
}

Capabilities capabilities() {
    Capabilities can{screenGrabber().modes(), {}};
    if (keyInjector().reachesOtherPrograms()) can.features |= Feature::KeysReachOtherPrograms;
    if (screenGrabber().picturesShowPointer()) can.features |= Feature::PointerInPictures;
    return can;
}

KeyInjector& keyInjector() {
    static const std::unique_ptr<KeyInjector> instance =
        g_backend == Backend::Wayland ? makeWaylandKeyInjector()
        : g_backend == Backend::X11   ? makeX11KeyInjector()
                                      : makeNullKeyInjector();
    return *instance;
}

void showOverScreen(QWidget& window) {
    // No Wayland client places its own windows: the compositor is asked for the
    // whole output instead.
    if (g_windowsOnWayland)
        window.showFullScreen();
    else
        window.show();
}

} // namespace kamsulo::platform
