#include "platform/x11/X11ClientWindow.h"

#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Properties.h"
#include <X11/Xatom.h>
#include <algorithm>
#include <vector>

namespace kamsulo::platform {

namespace {

// Windows nest far less deeply than this; a deeper chain is not followed.
constexpr int kMaxDepth = 64;
bool hasProperty(Display* dpy, Window w, Atom property) {
    if (property == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(dpy, w, property, 0, 0, False, AnyPropertyType, &type,
                                          &format, &count, &after, &data) == Success &&
                       type != None;
    if (data) XFree(data);
    return found;
}

// `window` and its ancestors up to the child of the root; empty for the root itself and
// for a window that is gone.
std::vector<Window> ancestry(Display* dpy, Window window, Window root) {
    std::vector<Window> chain;
    for (Window w = window; w != root && int(chain.size()) < kMaxDepth;) {
        chain.push_back(w);
        Window rootReturn = None, parent = None;
        Window* children = nullptr;
        unsigned int n = 0;
        const Status ok = XQueryTree(dpy, w, &rootReturn, &parent, &children, &n);
        if (children) XFree(children);
        if (!ok || parent == None) return {};
        if (parent == root) return chain;
        w = parent;
    }
    return {};
}

bool shown(Display* dpy, Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a)) return false;
    return a.map_state == IsViewable && !a.override_redirect &&
           static_cast<long long>(a.width) * a.height > 1;
}

// A window manager announces itself with a live window of its own on the root.
bool windowManagerRuns(Display* dpy, Window root) {
    const auto check = propertyItems(dpy, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    XWindowAttributes a;
    return !check.empty() && check.front() != None &&
           XGetWindowAttributes(dpy, Window(check.front()), &a);
}

} // namespace

Window shownClientWindow(Display* dpy, Window window) {
    if (!dpy || window == None || window == PointerRoot) return None;
    X11ErrorTrap trap(dpy);
    const Window root = DefaultRootWindow(dpy);
    const std::vector<Window> chain = ancestry(dpy, window, root);
    if (chain.empty()) return None;
    const Atom wmState = XInternAtom(dpy, "WM_STATE", True);
    const auto managed = propertyItems(dpy, root, "_NET_CLIENT_LIST", XA_WINDOW);
    for (const Window w : chain) {
        if (hasProperty(dpy, w, wmState) ||
            std::find(managed.begin(), managed.end(), w) != managed.end())
            return shown(dpy, w) ? w : None;
    }
    // Nothing manages the windows: the top-level one is the client's.
    if (!windowManagerRuns(dpy, root) && shown(dpy, chain.back())) return chain.back();
    return None;
}

} // namespace kamsulo::platform
