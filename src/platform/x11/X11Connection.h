#pragma once
// Qt's own connection to the X server, which every X request of the program goes
// through, and the pattern of every request with a reply: the reply, or nothing when
// the server answered with an error.
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace kamsulo::platform {

// The connection of the application's xcb platform; null without one (before the
// application exists, after it is gone, or on another Qt platform). Any thread may
// make requests on it: xcb keeps them apart.
xcb_connection_t* x11Connection();

// The screen that DISPLAY names, with its root window.
xcb_screen_t* x11Screen(xcb_connection_t* c);

struct X11Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using X11Reply = std::unique_ptr<T, X11Free>;

// The reply to a request; null when the server answered with an error (the window
// went away between two requests about it, say), which is then dropped here.
//   auto geometry = x11Reply(xcb_get_geometry_reply, c, xcb_get_geometry(c, window));
template <typename Reply, typename Cookie>
X11Reply<Reply> x11Reply(Reply* (*take)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                         xcb_connection_t* c, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    X11Reply<Reply> reply(take(c, cookie, &error));
    if (error) {
        std::free(error);
        return nullptr;
    }
    return reply;
}

// Whether a request without a reply, made through its _checked variant, worked.
bool x11Done(xcb_connection_t* c, xcb_void_cookie_t cookie);

// The atom of a name; XCB_ATOM_NONE when the server does not know it yet and
// `onlyIfExists`, or on an error.
xcb_atom_t x11Atom(xcb_connection_t* c, const char* name, bool onlyIfExists = true);

} // namespace kamsulo::platform
