#pragma once
// The keyboard layout of an X display, as a snapshot taken when it is made.
#include "platform/KeyboardLayout.h"
#include "platform/x11/X11KeyboardMapping.h"

namespace kamsulo::platform {

class X11KeyboardLayout final : public KeyboardLayout {
public:
    X11KeyboardLayout(X11KeyboardMapping mapping, bool capsLock)
        : mapping_(std::move(mapping)), capsLock_(capsLock) {}

    std::optional<LayoutKey> keyForCharacter(char16_t character) const override;
    // The keycode less 8: the kernel's key number, which for the main block is the
    // keyboard's own scan code.
    quint16 scanCodeOf(quint16 virtualKey) const override;
    bool capsLockOn() const override { return capsLock_; }

private:
    X11KeyboardMapping mapping_;
    bool capsLock_;
};

// Whether the keyboard's Caps Lock indicator is lit (the lock state when the
// keyboard has no such indicator).
bool capsLockIndicator(xcb_connection_t* c);

} // namespace kamsulo::platform
