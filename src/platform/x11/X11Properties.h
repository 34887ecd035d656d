#pragma once
// Reading list properties of X windows.
#include <X11/Xlib.h>
#include <vector>

namespace kamsulo::platform {

// The 32-bit items of a property of this type (Xlib hands them over as longs); empty when
// it is not set. At most 4096 items are read: no desktop manages more windows.
std::vector<unsigned long> propertyItems(Display* dpy, Window w, const char* name, Atom type);

} // namespace kamsulo::platform
