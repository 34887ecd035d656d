#include "platform/x11/X11Connection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <mutex>

namespace kamsulo::platform {

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_screen_t* x11Screen(xcb_connection_t* c) {
    int wanted = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &wanted) == 0) wanted = 0;
    std::free(host);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    xcb_screen_t* first = it.rem ? it.data : nullptr;
    for (int i = 0; it.rem; xcb_screen_next(&it), ++i)
        if (i == wanted) return it.data;
    return first;
}

bool x11Done(xcb_connection_t* c, xcb_void_cookie_t cookie) {
    xcb_generic_error_t* error = xcb_request_check(c, cookie);
    std::free(error);
    return error == nullptr;
}

xcb_atom_t x11Atom(xcb_connection_t* c, const char* name, bool onlyIfExists) {
    // An atom stays the same for as long as the server runs: each is asked for once.
    static std::mutex mutex;
    static QHash<QByteArray, xcb_atom_t> known;
    static xcb_connection_t* knownFor = nullptr;
    const QByteArray key(name);
    {
        std::lock_guard lock(mutex);
        if (knownFor != c) {
            known.clear();
            knownFor = c;
        }
        if (const auto it = known.constFind(key); it != known.cend()) return *it;
    }
    const auto reply = x11Reply(xcb_intern_atom_reply, c,
                                xcb_intern_atom(c, onlyIfExists, uint16_t(key.size()), name));
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (atom != XCB_ATOM_NONE) {
        std::lock_guard lock(mutex);
        known.insert(key, atom);
    }
    return atom;
}

} // namespace kamsulo::platform
