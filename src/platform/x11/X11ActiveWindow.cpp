// The active window through the window manager's root-window properties, read on a
// connection of our own.
#include "platform/ActiveWindow.h"

#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Properties.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kamsulo::platform {

namespace {

Display* connection() {
    static Display* const dpy = XOpenDisplay(nullptr);
    return dpy;
}

// A list property's items as the callers keep them.
QList<quint64> longsOf(Display* dpy, Window w, const char* name, Atom type) {
    const std::vector<unsigned long> items = propertyItems(dpy, w, name, type);
    return QList<quint64>(items.begin(), items.end());
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
