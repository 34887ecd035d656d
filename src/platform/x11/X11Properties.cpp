#include "platform/x11/X11Properties.h"

namespace kamsulo::platform {

namespace {
constexpr long kMaxItems = 4096;
} // namespace

std::vector<unsigned long> propertyItems(Display* dpy, Window w, const char* name, Atom type) {
    std::vector<unsigned long> items;
    const Atom property = XInternAtom(dpy, name, True);
    if (property == None) return items;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, property, 0, kMaxItems, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data && actualType == type && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data) XFree(data);
    return items;
}

} // namespace kamsulo::platform
