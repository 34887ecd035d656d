#pragma once
// Synthetic keyboard input: a list of key records replayed in one go to the
// window that has the keyboard focus.
#include "platform/KeyboardLayout.h"

#include <QFlags>
#include <QList>
#include <memory>

namespace kamsulo::platform {

enum class KeyInputFlag : quint32 {
    ExtendedKey = 0x1, // a key of the extended block (arrows, Insert, Delete, ...)
    KeyUp = 0x2,       // release; without it the record presses the key
    Unicode = 0x4,     // scanCode holds a UTF-16 code unit, virtualKey is 0
};
Q_DECLARE_FLAGS(KeyInputFlags, KeyInputFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(KeyInputFlags)

// One key press or release.
struct KeyInput {
    quint16 virtualKey = 0;
    quint16 scanCode = 0;
    KeyInputFlags flags;

    bool operator==(const KeyInput&) const = default;
};

class KeyInjector {
public:
    virtual ~KeyInjector() = default;

    // The keyboard layout in force now, read once; one snapshot serves one key string.
    virtual std::unique_ptr<KeyboardLayout> currentLayout() = 0;
    // Replays the records in order as one batch. A Unicode record pair (down, up)
    // types its character whether or not the layout has a key for it; a surrogate
    // pair of such records types the one character they encode. False when there is
    // no keyboard to send to.
    virtual bool inject(const QList<KeyInput>& records) = 0;
    // Whether keys reach other programs' windows at all. Wayland lets no program type
    // into another.
    virtual bool reachesOtherPrograms() const { return true; }
};

// The implementation for this system; never null.
KeyInjector& keyInjector();

} // namespace kamsulo::platform
