#pragma once
// The questions that turning a key string into key presses asks of the keyboard
// layout, and the virtual-key codes that name the keys.
#include <QtGlobal>
#include <optional>

namespace kamsulo::platform {

// Virtual-key codes of the keys the key-string language names. Letter keys are
// 'A'..'Z', digit keys '0'..'9'; function keys run from F1 on.
namespace VirtualKey {
enum : quint16 {
    Backspace = 8,
    Tab = 9,
    Enter = 13,
    Shift = 16,
    Control = 17,
    Alt = 18,
    Pause = 19,
    CapsLock = 20,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Select = 41,
    Print = 42,
    Execute = 43,
    PrintScreen = 44,
    Insert = 45,
    Delete = 46,
    Help = 47,
    F1 = 112,
    F16 = 127,
    NumLock = 144,
    ScrollLock = 145,
    // Punctuation keys, after the key's unshifted character on a US keyboard.
    OemSemicolon = 0xBA,
    OemPlus = 0xBB,
    OemComma = 0xBC,
    OemMinus = 0xBD,
    OemPeriod = 0xBE,
    OemSlash = 0xBF,
    OemGrave = 0xC0,
    OemBracketLeft = 0xDB,
    OemBackslash = 0xDC,
    OemBracketRight = 0xDD,
    OemQuote = 0xDE,
    Oem102 = 0xE2, // the extra key beside the left Shift
    // Keys that have no code above: this value plus a number of the layout's own.
    FirstLayoutOnlyKey = 0x100,
};
} // namespace VirtualKey

// The key that types a character, and whether Shift must be held for it.
struct LayoutKey {
    quint16 virtualKey = 0;
    bool shift = false;

    bool operator==(const LayoutKey&) const = default;
};

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The key that types this character (a code below 256) unshifted or with
    // Shift alone; none when the layout has no such key.
    virtual std::optional<LayoutKey> keyForCharacter(char16_t character) const = 0;
    // The hardware scan code of a key; 0 when the keyboard has no such key.
    virtual quint16 scanCodeOf(quint16 virtualKey) const = 0;
    // Whether Caps Lock is on.
    virtual bool capsLockOn() const = 0;
};

} // namespace kamsulo::platform
