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
} // namespace

std::optional<Backend> loadBackend() {
    const QByteArray qpa = qgetenv("QT_QPA_PLATFORM");
    if (qpa.startsWith("wayland")) {
        if (!waylandDisplayReachable()) return std::nullopt;
        return g_backend = Backend::Wayland;
    }
    if (qpa.isEmpty() && waylandDisplayReachable()) {
        qputenv("QT_QPA_PLATFORM", "wayland");
        return g_backend = Backend::Wayland;
    }
    if (qpa.isEmpty()) qputenv("QT_QPA_PLATFORM", "xcb");
    if ((qpa.isEmpty() || qpa == "xcb") && !x11DisplayReachable()) return std::nullopt;
    return g_backend = Backend::X11;
}

Backend backend() {
    return g_backend;
}

ScreenGrabber& screenGrabber() {
    static const std::unique_ptr<ScreenGrabber> instance =
        g_backend == Backend::Wayland ? makeWaylandScreenGrabber() : makeX11ScreenGrabber();
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
        g_backend == Backend::Wayland ? makeWaylandKeyInjector() : makeX11KeyInjector();
    return *instance;
}

void showOverScreen(QWidget& window) {
    // No Wayland client places its own windows: the compositor is asked for the
    // whole output instead.
    if (g_backend == Backend::Wayland)
        window.showFullScreen();
    else
        window.show();
}

} // namespace kamsulo::platform
