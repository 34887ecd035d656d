#include "platform/WindowFrame.h"

#include <QGuiApplication>

// Xlib's macros clash with Qt's names: after Qt's headers.
#include "platform/x11/X11ErrorTrap.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kamsulo::platform {

namespace {

Display* qtDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

} // namespace

void showNormalWhenMapped(quint64 window) {
    Display* display = qtDisplay();
    if (!display || window == 0) return;
    X11ErrorTrap trap(display);
    XWMHints* hints = XGetWMHints(display, window);
    XWMHints normal{};
    XWMHints* use = hints ? hints : &normal;
    use->flags |= StateHint;
    use->initial_state = NormalState;
    XSetWMHints(display, window, use);
    if (hints) XFree(hints);
    XFlush(display);
}

std::optional<QMargins> frameExtents(quint64 window) {
    Display* display = qtDisplay();
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
