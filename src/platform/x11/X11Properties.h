#pragma once
// Reading list properties of X windows.
#include <cstdint>
#include <vector>
#include <xcb/xcb.h>

namespace kamsulo::platform {

// The 32-bit items of a property of this type; empty when it is not set or the window
// is gone. At most 4096 items are read: no desktop manages more windows.
std::vector<std::uint32_t> propertyItems(xcb_connection_t* c, xcb_window_t w, const char* name,
                                         xcb_atom_t type);

} // namespace kamsulo::platform
