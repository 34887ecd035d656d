// The active window through the window manager's root-window properties, read on a
// connection of our own.
#include "platform/ActiveWindow.h"

#include "platform/X11ErrorTrap.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kamsulo::platform {

namespace {

// A list property holds at most this many 32-bit items here; more windows than that
// are not managed on any desktop.
constexpr long kMaxItems = 4096;

Display* connection() {
    static Display* const dpy = XOpenDisplay(nullptr);
    return dpy;
}

// The 32-bit items of a property of this type (Xlib hands them over as longs).
QList<quint64> longsOf(Display* dpy, Window w, const char* name, Atom type) {
    QList<quint64> items;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(dpy, name, False);
    if (XGetWindowProperty(dpy, w, property, 0, kMaxItems, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data && actualType == type && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            items.append(values[i]);
    }
    if (data) XFree(data);
    return items;
}

} // namespace

std::optional<WindowOwner> activeWindow() {
    Display* dpy = connection();
    if (!dpy) return std::nullopt;
    X11ErrorTrap trap(dpy);
    const QList<quint64> active =
        longsOf(dpy, DefaultRootWindow(dpy), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (active.isEmpty() || active.first() == None) return std::nullopt;
    WindowOwner owner;
    owner.window = active.first();
    const Window w = Window(owner.window);
    const QList<quint64> pid = longsOf(dpy, w, "_NET_WM_PID", XA_CARDINAL);
    if (!pid.isEmpty()) owner.pid = qint64(pid.first());
    XClassHint hint{};
    if (XGetClassHint(dpy, w, &hint)) {
        if (hint.res_name) {
            owner.instanceName = QString::fromLocal8Bit(hint.res_name);
            XFree(hint.res_name);
        }
        if (hint.res_class) {
            owner.className = QString::fromLocal8Bit(hint.res_class);
            XFree(hint.res_class);
        }
    }
    return owner;
}

QList<quint64> managedWindows() {
    Display* dpy = connection();
    if (!dpy) return {};
    X11ErrorTrap trap(dpy);
    return longsOf(dpy, DefaultRootWindow(dpy), "_NET_CLIENT_LIST", XA_WINDOW);
}

} // namespace kamsulo::platform
