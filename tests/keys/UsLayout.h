// A fixed US keyboard for the key-string tests: letters, digits, space, Tab,
// Return and the punctuation keys; the scan code of a key is its code + 1000.
#pragma once

#include "platform/KeyboardLayout.h"

#include <QHash>

namespace kamsulo::keys::test {

namespace VirtualKey = platform::VirtualKey;

class UsLayout final : public platform::KeyboardLayout {
public:
    UsLayout() {
        for (char16_t c = 'a'; c <= 'z'; ++c) {
            keys_[c] = {quint16(c - 'a' + 'A'), false};
            keys_[c - 'a' + 'A'] = {quint16(c - 'a' + 'A'), true};
        }
        const char* shiftedDigits = ")!@#$%^&*(";
        for (char16_t d = 0; d < 10; ++d) {
            keys_['0' + d] = {quint16('0' + d), false};
            keys_[char16_t(shiftedDigits[d])] = {quint16('0' + d), true};
        }
        const struct {
            char plain, shifted;
            quint16 key;
        } punctuation[] = {
            {'`', '~', VirtualKey::OemGrave},        {'-', '_', VirtualKey::OemMinus},
            {'=', '+', VirtualKey::OemPlus},         {'[', '{', VirtualKey::OemBracketLeft},
            {']', '}', VirtualKey::OemBracketRight}, {';', ':', VirtualKey::OemSemicolon},
            {'\'', '"', VirtualKey::OemQuote},       {',', '<', VirtualKey::OemComma},
            {'.', '>', VirtualKey::OemPeriod},       {'/', '?', VirtualKey::OemSlash}};
        for (const auto& p : punctuation) {
            keys_[char16_t(p.plain)] = {p.key, false};
            keys_[char16_t(p.shifted)] = {p.key, true};
        }
        keys_[' '] = {VirtualKey::Space, false};
        keys_['\t'] = {VirtualKey::Tab, false};
        keys_['\r'] = {VirtualKey::Enter, false};
    }
    std::optional<platform::LayoutKey> keyForCharacter(char16_t c) const override {
        const auto it = keys_.constFind(c);
        return it == keys_.cend() ? std::nullopt : std::optional(it.value());
    }
    quint16 scanCodeOf(quint16 vk) const override { return vk + 1000; }
    bool capsLockOn() const override { return capsLock; }

    bool capsLock = false;

private:
    QHash<char16_t, platform::LayoutKey> keys_;
};

} // namespace kamsulo::keys::test
