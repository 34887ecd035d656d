#include "platform/PointerPosition.h"

#include <QGuiApplication>

// Xlib's macros clash with Qt's names: after Qt's headers.
#include <X11/Xlib.h>

namespace kamsulo::platform {

std::optional<QPoint> pointerOnDesktop() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return std::nullopt;
    Window root = None, child = None;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX,
                       &winY, &mask))
        return std::nullopt;
    return QPoint(rootX, rootY);
}

} // namespace kamsulo::platform
