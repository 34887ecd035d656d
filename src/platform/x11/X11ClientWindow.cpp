#include "platform/x11/X11ClientWindow.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <algorithm>
#include <vector>

namespace kamsulo::platform {

namespace {

// Windows nest far less deeply than this; a deeper chain is not followed.
constexpr int kMaxDepth = 64;

bool hasProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property) {
    if (property == XCB_ATOM_NONE) return false;
    const auto reply =
        x11Reply(xcb_get_property_reply, c,
                 xcb_get_property(c, false, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0));
    return reply && reply->type != XCB_ATOM_NONE;
}

// `window` and its ancestors up to the child of the root; empty for the root itself and
// for a window that is gone.
std::vector<xcb_window_t> ancestry(xcb_connection_t* c, xcb_window_t window, xcb_window_t root) {
    std::vector<xcb_window_t> chain;
    for (xcb_window_t w = window; w != root && int(chain.size()) < kMaxDepth;) {
        chain.push_back(w);
        const auto tree = x11Reply(xcb_query_tree_reply, c, xcb_query_tree(c, w));
        if (!tree || tree->parent == XCB_WINDOW_NONE) return {};
        if (tree->parent == root) return chain;
        w = tree->parent;
    }
    return {};
}

bool shown(xcb_connection_t* c, xcb_window_t w) {
    const auto attributesCookie = xcb_get_window_attributes(c, w);
    const auto geometryCookie = xcb_get_geometry(c, w);
    const auto attributes = x11Reply(xcb_get_window_attributes_reply, c, attributesCookie);
    const auto geometry = x11Reply(xcb_get_geometry_reply, c, geometryCookie);
    return attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
           !attributes->override_redirect &&
           static_cast<long long>(geometry->width) * geometry->height > 1;
}

// A window manager announces itself with a live window of its own on the root.
bool windowManagerRuns(xcb_connection_t* c, xcb_window_t root) {
    const auto check = propertyItems(c, root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    return !check.empty() && check.front() != XCB_WINDOW_NONE &&
           x11Reply(xcb_get_window_attributes_reply, c,
                    xcb_get_window_attributes(c, check.front())) != nullptr;
}

} // namespace

xcb_window_t shownClientWindow(xcb_connection_t* c, xcb_window_t root, xcb_window_t window) {
    if (!c || window == XCB_WINDOW_NONE || window == XCB_INPUT_FOCUS_POINTER_ROOT)
        return XCB_WINDOW_NONE;
    const std::vector<xcb_window_t> chain = ancestry(c, window, root);
    if (chain.empty()) return XCB_WINDOW_NONE;
    const xcb_atom_t wmState = x11Atom(c, "WM_STATE");
    const auto managed = propertyItems(c, root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW);
    for (const xcb_window_t w : chain) {
        if (hasProperty(c, w, wmState) ||
            std::find(managed.begin(), managed.end(), w) != managed.end())
            return shown(c, w) ? w : xcb_window_t(XCB_WINDOW_NONE);
    }
    // Nothing manages the windows: the top-level one is the client's.
    if (!windowManagerRuns(c, root) && shown(c, chain.back())) return chain.back();
    return XCB_WINDOW_NONE;
}

} // namespace kamsulo::platform
