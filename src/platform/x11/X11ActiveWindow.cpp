// The active window through the window manager's root-window properties.
#include "platform/ActiveWindow.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

namespace kamsulo::platform {

namespace {

// A list property's items as the callers keep them.
QList<quint64> itemsOf(xcb_connection_t* c, xcb_window_t w, const char* name, xcb_atom_t type) {
    const std::vector<std::uint32_t> items = propertyItems(c, w, name, type);
    return QList<quint64>(items.begin(), items.end());
}

// The two halves of WM_CLASS, each ended by a zero byte.
void readClass(xcb_connection_t* c, xcb_window_t w, WindowOwner& owner) {
    constexpr std::uint32_t kMaxWords = 256;
    const auto reply =
        x11Reply(xcb_get_property_reply, c,
                 xcb_get_property(c, false, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, kMaxWords));
    if (!reply || reply->type != XCB_ATOM_STRING || reply->format != 8) return;
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get()));
    const qsizetype end = value.indexOf('\0');
    owner.instanceName = QString::fromLocal8Bit(value.left(end));
    if (end < 0) return;
    const QByteArray rest = value.mid(end + 1);
    owner.className = QString::fromLocal8Bit(rest.left(rest.indexOf('\0')));
}

} // namespace

std::optional<WindowOwner> activeWindow() {
    xcb_connection_t* c = x11Connection();
    if (!c) return std::nullopt;
    const xcb_window_t root = x11Screen(c)->root;
    const QList<quint64> active = itemsOf(c, root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    if (active.isEmpty() || active.first() == XCB_WINDOW_NONE) return std::nullopt;
    WindowOwner owner;
    owner.window = active.first();
    const auto w = xcb_window_t(owner.window);
    const QList<quint64> pid = itemsOf(c, w, "_NET_WM_PID", XCB_ATOM_CARDINAL);
    if (!pid.isEmpty()) owner.pid = qint64(pid.first());
    readClass(c, w, owner);
    return owner;
}

QList<quint64> managedWindows() {
    xcb_connection_t* c = x11Connection();
    if (!c) return {};
    return itemsOf(c, x11Screen(c)->root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW);
}

} // namespace kamsulo::platform
