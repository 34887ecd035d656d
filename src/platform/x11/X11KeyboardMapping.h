#pragma once
// A snapshot of an X server's keyboard mapping, seen through the keyboard group in
// force, and the bridge between virtual-key codes, characters and X keysyms.
#include <QSet>
#include <cstdint>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

namespace kamsulo::platform {

using KeySymbol = std::uint32_t; // an X keysym
using Keycode = int;             // an X keycode (8..255)
constexpr KeySymbol kNoSymbol = 0;

// Whether the server's keyboard extension (XKB) serves on the connection; the first
// call announces its use there, which its requests need.
bool useXkb(xcb_connection_t* c);

class X11KeyboardMapping {
public:
    // Reads the mapping of the display; the keycodes in `ignored` count as unmapped.
    static X11KeyboardMapping read(xcb_connection_t* c, const QSet<Keycode>& ignored = {});

    // The keysym of a key at level 0 (unshifted) or 1 (shifted); 0 when none.
    KeySymbol symbol(Keycode key, int level) const;
    // The first key that has the keysym at a level up to `maxLevel`, lower levels
    // preferred; the level is returned through `level`.
    std::optional<Keycode> keyOf(KeySymbol symbol, int maxLevel, int* level = nullptr) const;
    // Keys with no keysym at all: free to be given one for the moment.
    QList<Keycode> spareKeys() const;

    // The virtual-key code of a key, after its unshifted keysym; a key without a
    // standard code gets VirtualKey::FirstLayoutOnlyKey + its keycode.
    quint16 virtualKeyOf(Keycode key) const;
    // The key of a virtual-key code; none when the keyboard has no such key.
    std::optional<Keycode> keyOfVirtualKey(quint16 virtualKey) const;

    // The keysym that a virtual-key code stands for; 0 for an unknown code.
    static KeySymbol symbolOfVirtualKey(quint16 virtualKey);
    // The keysym that types a character (a Unicode code point); 0 for none.
    static KeySymbol symbolOfCharacter(char32_t character);

    Keycode minKey() const { return minKey_; }
    Keycode maxKey() const {
        return minKey_ + Keycode(perKey_ ? symbols_.size() / perKey_ : 0) - 1;
    }

private:
    Keycode minKey_ = 8;
    int perKey_ = 0; // keysyms per keycode in symbols_
    int column_ = 0; // first column of the group in force
    std::vector<KeySymbol> symbols_;
};

} // namespace kamsulo::platform
