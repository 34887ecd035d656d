#include "platform/x11/X11KeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace kamsulo::platform {

namespace {
constexpr Keycode kFirstKernelKey = 8; // X keycode of the kernel's key number 0
}

std::optional<LayoutKey> X11KeyboardLayout::keyForCharacter(char16_t character) const {
    int level = 0;
    const auto key = mapping_.keyOf(X11KeyboardMapping::symbolOfCharacter(character), 1, &level);
    if (!key) return std::nullopt;
    return LayoutKey{mapping_.virtualKeyOf(*key), level == 1};
}

quint16 X11KeyboardLayout::scanCodeOf(quint16 virtualKey) const {
    const auto key = mapping_.keyOfVirtualKey(virtualKey);
    return key && *key >= kFirstKernelKey ? quint16(*key - kFirstKernelKey) : 0;
}

bool capsLockIndicator(_XDisplay* display) {
    if (!display) return false;
    Bool on = False;
    if (XkbGetNamedIndicator(display, XInternAtom(display, "Caps Lock", False), nullptr, &on,
                             nullptr, nullptr))
        return on;
    XkbStateRec state;
    return XkbGetState(display, XkbUseCoreKbd, &state) == Success && (state.locked_mods & LockMask);
}

} // namespace kamsulo::platform
