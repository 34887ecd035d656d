#include "platform/x11/X11Properties.h"

#include "platform/x11/X11Connection.h"

namespace kamsulo::platform {

namespace {
constexpr std::uint32_t kMaxItems = 4096;
constexpr int kItemBits = 32;
} // namespace

std::vector<std::uint32_t> propertyItems(xcb_connection_t* c, xcb_window_t w, const char* name,
                                         xcb_atom_t type) {
    std::vector<std::uint32_t> items;
    const xcb_atom_t property = x11Atom(c, name);
    if (property == XCB_ATOM_NONE) return items;
    const auto reply = x11Reply(xcb_get_property_reply, c,
                                xcb_get_property(c, false, w, property, type, 0, kMaxItems));
    if (!reply || reply->type != type || reply->format != kItemBits) return items;
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    items.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    return items;
}

} // namespace kamsulo::platform
