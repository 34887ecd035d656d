#include "platform/WindowFrame.h"

#include <QGuiApplication>
#include "platform/X11ErrorTrap.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace kamsulo::platform {

std::optional<QMargins> frameExtents(quint64 window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display || window == 0) return std::nullopt;
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", True);
    if (extents == None) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    X11ErrorTrap trap(display);
    if (XGetWindowProperty(display, window, extents, 0, 4, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) != Success)
        return std::nullopt;
    std::optional<QMargins> result;
    if (data && format == 32 && count == 4) {
        const auto* v = reinterpret_cast<const long*>(data); // left, right, top, bottom
        result = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
    }
    if (data) XFree(data);
    return result;
}

} // namespace kamsulo::platform
