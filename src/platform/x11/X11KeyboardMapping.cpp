#include "platform/x11/X11KeyboardMapping.h"

#include "platform/KeyboardLayout.h"
#include "platform/x11/X11Connection.h"

#include "platform/x11/X11Xkb.h"
#include <QHash>
#include <X11/keysym.h>
#include <mutex>
#include <xkbcommon/xkbcommon.h>

namespace kamsulo::platform {

namespace {

// Virtual-key codes and the keysyms of their keys; where a code has several, the
// first is the one given to a spare key. Letters, digits and F-keys are computed.
struct VirtualKeySymbol {
    quint16 virtualKey;
    KeySymbol symbol;
};
constexpr VirtualKeySymbol kVirtualKeySymbols[] = {
    {VirtualKey::Backspace, XK_BackSpace},
    {VirtualKey::Tab, XK_Tab},
    {VirtualKey::Enter, XK_Return},
    {VirtualKey::Shift, XK_Shift_L},
    {VirtualKey::Shift, XK_Shift_R},
    {VirtualKey::Control, XK_Control_L},
    {VirtualKey::Control, XK_Control_R},
    {VirtualKey::Alt, XK_Alt_L},
    {VirtualKey::Alt, XK_Meta_L},
    {VirtualKey::Pause, XK_Pause},
    {VirtualKey::CapsLock, XK_Caps_Lock},
    {VirtualKey::Escape, XK_Escape},
    {VirtualKey::Space, XK_space},
    {VirtualKey::PageUp, XK_Prior},
    {VirtualKey::PageDown, XK_Next},
    {VirtualKey::End, XK_End},
    {VirtualKey::Home, XK_Home},
    {VirtualKey::Left, XK_Left},
    {VirtualKey::Up, XK_Up},
    {VirtualKey::Right, XK_Right},
    {VirtualKey::Down, XK_Down},
    {VirtualKey::Select, XK_Select},
    {VirtualKey::PrintScreen, XK_Print}, // before Print: the Print key is this one
    {VirtualKey::Print, XK_Print},
    {VirtualKey::Execute, XK_Execute},
    {VirtualKey::Insert, XK_Insert},
    {VirtualKey::Delete, XK_Delete},
    {VirtualKey::Help, XK_Help},
    {VirtualKey::NumLock, XK_Num_Lock},
    {VirtualKey::ScrollLock, XK_Scroll_Lock},
    {VirtualKey::OemSemicolon, XK_semicolon},
    {VirtualKey::OemPlus, XK_equal},
    {VirtualKey::OemComma, XK_comma},
    {VirtualKey::OemMinus, XK_minus},
    {VirtualKey::OemPeriod, XK_period},
    {VirtualKey::OemSlash, XK_slash},
    {VirtualKey::OemGrave, XK_grave},
    {VirtualKey::OemBracketLeft, XK_bracketleft},
    {VirtualKey::OemBackslash, XK_backslash},
    {VirtualKey::OemBracketRight, XK_bracketright},
    {VirtualKey::OemQuote, XK_apostrophe},
    {VirtualKey::Oem102, XK_less},
};

// The standard virtual-key code of a keysym; 0 when it has none.
quint16 standardVirtualKey(KeySymbol sym) {
    if (sym >= XK_a && sym <= XK_z) return quint16('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z) return quint16('A' + (sym - XK_A));
    if (sym >= XK_0 && sym <= XK_9) return quint16('0' + (sym - XK_0));
    if (sym >= XK_F1 && sym <= XK_F1 + (VirtualKey::F16 - VirtualKey::F1))
        return quint16(VirtualKey::F1 + (sym - XK_F1));
    for (const auto& e : kVirtualKeySymbols)
        if (e.symbol == sym) return e.virtualKey;
    return 0;
}

// The keysyms a virtual-key code stands for, the preferred one first.
QList<KeySymbol> symbolsOfVirtualKey(quint16 vk) {
    if (vk >= 'A' && vk <= 'Z') return {KeySymbol(XK_a + (vk - 'A'))};
    if (vk >= '0' && vk <= '9') return {KeySymbol(XK_0 + (vk - '0'))};
    if (vk >= VirtualKey::F1 && vk <= VirtualKey::F16)
        return {KeySymbol(XK_F1 + (vk - VirtualKey::F1))};
    QList<KeySymbol> syms;
    for (const auto& e : kVirtualKeySymbols)
        if (e.virtualKey == vk) syms << e.symbol;
    return syms;
}

constexpr char32_t kLastLatin1 = 0xFF;
constexpr char32_t kLastUnicode = 0x10FFFF;
constexpr KeySymbol kUnicodeSymbolBase = 0x01000000; // keysym of code point c: base + c

} // namespace

bool useXkb(xcb_connection_t* c) {
    static std::mutex mutex;
    static QHash<xcb_connection_t*, bool> announced;
    std::lock_guard lock(mutex);
    if (const auto it = announced.constFind(c); it != announced.cend()) return *it;
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    const auto reply =
        xkb && xkb->present
            ? x11Reply(xcb_xkb_use_extension_reply, c,
                       xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION))
            : nullptr;
    const bool usable = reply && reply->supported;
    announced.insert(c, usable);
    return usable;
}

X11KeyboardMapping X11KeyboardMapping::read(xcb_connection_t* c, const QSet<Keycode>& ignored) {
    X11KeyboardMapping m;
    if (!c) return m;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const Keycode minKey = setup->min_keycode;
    const Keycode maxKey = setup->max_keycode;
    const auto stateCookie =
        useXkb(c) ? std::optional(xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD)) : std::nullopt;
    const auto reply = x11Reply(
        xcb_get_keyboard_mapping_reply, c,
        xcb_get_keyboard_mapping(c, xcb_keycode_t(minKey), std::uint8_t(maxKey - minKey + 1)));
    const auto state = stateCookie ? x11Reply(xcb_xkb_get_state_reply, c, *stateCookie) : nullptr;
    if (!reply) return m;
    const int per = reply->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int count = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    if (per <= 0 || count < (maxKey - minKey + 1) * per) return m;
    m.minKey_ = minKey;
    m.perKey_ = per;
    m.symbols_.assign(syms, syms + std::size_t(maxKey - minKey + 1) * std::size_t(per));
    for (Keycode key : ignored)
        if (key >= minKey && key <= maxKey)
            std::fill_n(m.symbols_.begin() + (key - minKey) * per, per, KeySymbol(kNoSymbol));
    // The core mapping shows the first two groups, in columns 0-1 and 2-3.
    if (state && state->group == 1 && per >= 4) m.column_ = 2;
    return m;
}

KeySymbol X11KeyboardMapping::symbol(Keycode key, int level) const {
    if (key < minKey_ || key > maxKey() || level < 0 || level > 1) return kNoSymbol;
    const KeySymbol* row = symbols_.data() + std::size_t(key - minKey_) * std::size_t(perKey_);
    int column = column_;
    // A key without symbols in the second group has those of the first there.
    if (column > 0 && row[column] == kNoSymbol && row[column + 1] == kNoSymbol) column = 0;
    const KeySymbol lower = row[column];
    const KeySymbol upper = column + 1 < perKey_ ? row[column + 1] : kNoSymbol;
    if (level == 0 || upper != kNoSymbol) return level == 0 ? lower : upper;
    // No shifted symbol: a letter's capital, else the unshifted symbol.
    return xkb_keysym_to_upper(lower);
}

std::optional<Keycode> X11KeyboardMapping::keyOf(KeySymbol sym, int maxLevel, int* level) const {
    if (sym == kNoSymbol) return std::nullopt;
    for (int lv = 0; lv <= maxLevel && lv <= 1; ++lv)
        for (Keycode key = minKey_; key <= maxKey(); ++key)
            if (symbol(key, lv) == sym) {
                if (level) *level = lv;
                return key;
            }
    return std::nullopt;
}

QList<Keycode> X11KeyboardMapping::spareKeys() const {
    QList<Keycode> keys;
    for (Keycode key = maxKey(); key >= minKey_; --key) {
        const auto row = symbols_.begin() + (key - minKey_) * perKey_;
        if (std::all_of(row, row + perKey_, [](KeySymbol s) { return s == kNoSymbol; }))
            keys << key;
    }
    return keys;
}

quint16 X11KeyboardMapping::virtualKeyOf(Keycode key) const {
    const quint16 vk = standardVirtualKey(symbol(key, 0));
    // A key that shares its code with an earlier key is told apart by its keycode.
    if (vk != 0 && keyOfVirtualKey(vk) == key) return vk;
    return quint16(VirtualKey::FirstLayoutOnlyKey + key);
}

std::optional<Keycode> X11KeyboardMapping::keyOfVirtualKey(quint16 vk) const {
    if (vk >= VirtualKey::FirstLayoutOnlyKey) {
        const Keycode key = vk - VirtualKey::FirstLayoutOnlyKey;
        if (key >= minKey_ && key <= maxKey()) return key;
        return std::nullopt;
    }
    for (KeySymbol sym : symbolsOfVirtualKey(vk))
        if (const auto key = keyOf(sym, 0)) return key;
    return std::nullopt;
}

KeySymbol X11KeyboardMapping::symbolOfVirtualKey(quint16 vk) {
    if (vk >= VirtualKey::FirstLayoutOnlyKey) return kNoSymbol;
    return symbolsOfVirtualKey(vk).value(0, kNoSymbol);
}

KeySymbol X11KeyboardMapping::symbolOfCharacter(char32_t c) {
    switch (c) {
    case U'\b':
        return XK_BackSpace;
    case U'\t':
        return XK_Tab;
    case U'\n':
    case U'\r':
        return XK_Return;
    case U'\x1b':
        return XK_Escape;
    default:
        break;
    }
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return kNoSymbol;              // control characters
    if (c <= kLastLatin1) return c;                                         // Latin-1 keysyms
    if ((c >= 0xD800 && c <= 0xDFFF) || c > kLastUnicode) return kNoSymbol; // no character
    return kUnicodeSymbolBase + c;
}

} // namespace kamsulo::platform
