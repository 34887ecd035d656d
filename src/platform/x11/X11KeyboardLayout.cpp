#include "platform/x11/X11KeyboardLayout.h"

#include "platform/x11/X11Connection.h"

#include "platform/x11/X11Xkb.h"

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

bool capsLockIndicator(xcb_connection_t* c) {
    if (!c || !useXkb(c)) return false;
    const xcb_atom_t name = x11Atom(c, "Caps Lock", false);
    if (name != XCB_ATOM_NONE) {
        const auto indicator = x11Reply(xcb_xkb_get_named_indicator_reply, c,
                                        xcb_xkb_get_named_indicator(c, XCB_XKB_ID_USE_CORE_KBD,
                                                                    XCB_XKB_LED_CLASS_DFLT_XI_CLASS,
                                                                    XCB_XKB_ID_DFLT_XI_ID, name));
        if (indicator && indicator->found) return indicator->on;
    }
    const auto state =
        x11Reply(xcb_xkb_get_state_reply, c, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD));
    return state && (state->lockedMods & XCB_MOD_MASK_LOCK);
}

} // namespace kamsulo::platform
