// The key-string language against a fixed US-like layout: each string and the
// exact records it becomes.
#include "keys/KeyStringParser.h"
#include "UsLayout.h"

#include <gtest/gtest.h>
#include <ostream>

namespace kamsulo::platform {
void PrintTo(const KeyInput& k, std::ostream* os) {
    *os << "{vk " << k.virtualKey << ", scan " << k.scanCode << ", flags " << k.flags.toInt()
        << "}";
}
} // namespace kamsulo::platform

namespace {

using namespace kamsulo::platform;
using kamsulo::keys::KeyStringParser;
using kamsulo::keys::test::UsLayout;
using Records = QList<KeyInput>;

constexpr quint16 kShift = VirtualKey::Shift;
constexpr quint16 kCtrl = VirtualKey::Control;

KeyInput hold(quint16 vk) {
    return {vk, 0, {}};
}
KeyInput release(quint16 vk) {
    return {vk, 0, KeyInputFlag::KeyUp};
}
Records press(quint16 vk, KeyInputFlags downFlags = {}) {
    return {{vk, 0, downFlags}, {vk, quint16(vk + 1000), KeyInputFlag::KeyUp}};
}
Records shifted(quint16 vk) {
    return Records{hold(kShift)} + press(vk) + Records{release(kShift)};
}
Records unicode(char16_t unit) {
    return {{0, unit, KeyInputFlag::Unicode},
            {0, unit, KeyInputFlag::Unicode | KeyInputFlag::KeyUp}};
}
Records times(int n, const Records& r) {
    Records out;
    for (int i = 0; i < n; ++i)
        out += r;
    return out;
}

class KeyStrings : public ::testing::Test {
protected:
    Records parse(const QString& s) { return KeyStringParser(layout).parse(s); }
    UsLayout layout;
};

TEST_F(KeyStrings, ModifiersNestAndHoldOverOneElement) {
    EXPECT_EQ(parse("^v"), Records{hold(kCtrl)} + press('V') + Records{release(kCtrl)});
    EXPECT_EQ(parse("^+x"), (Records{hold(kCtrl), hold(kShift)} + press('X') +
                             Records{release(kShift), release(kCtrl)}));
    // A held Shift is not pressed again for a capital; only the next element is held.
    EXPECT_EQ(parse("+(aB)c"), Records{hold(kShift)} + press('A') + press('B') +
                                   Records{release(kShift)} + press('C'));
    EXPECT_EQ(parse("%{F4}"), Records{hold(VirtualKey::Alt)} + press(VirtualKey::F1 + 3) +
                                  Records{release(VirtualKey::Alt)});
    // A prefix at the end presses the modifier alone.
    EXPECT_EQ(parse("a^"), (press('A') + Records{hold(kCtrl), release(kCtrl)}));
}

TEST_F(KeyStrings, GroupsTakeEverythingInsideAsCharacters) {
    EXPECT_EQ(parse("(+{~)"), shifted(VirtualKey::OemPlus) + shifted(VirtualKey::OemBracketLeft) +
                                  press(VirtualKey::Enter));
    // Without a closing parenthesis, or empty, the "(" is skipped and the rest typed.
    EXPECT_EQ(parse("(ab"), press('A') + press('B'));
    EXPECT_EQ(parse("()"), shifted('0'));
}

TEST_F(KeyStrings, BracedNamesAndCharacters) {
    const Records threeLefts = times(3, press(VirtualKey::Left, KeyInputFlag::ExtendedKey));
    EXPECT_EQ(parse("{LEFT 3}"), threeLefts);
    EXPECT_EQ(parse("{left 3}"), threeLefts);
    EXPECT_EQ(parse("{BkSp}{PAUSE}{BREAK}"),
              press(VirtualKey::Backspace) + press(VirtualKey::Pause) +
                  press(VirtualKey::Pause, KeyInputFlag::ExtendedKey));
    EXPECT_EQ(parse("{F16}"), press(VirtualKey::F16));
    // "~" and {ENTER} are Enter, {~} the tilde key.
    EXPECT_EQ(parse("~{ENTER}"), press(VirtualKey::Enter) + press(VirtualKey::Enter));
    EXPECT_EQ(parse("{~}"), shifted(VirtualKey::OemGrave));
    EXPECT_EQ(parse("{}}"), shifted(VirtualKey::OemBracketRight));
    // An unknown name types its first character; a space is a character too.
    EXPECT_EQ(parse("{xyz 2}{ }"), times(2, press('X')) + press(VirtualKey::Space));
    // A brace left open is skipped, as is "{}" whose "}" is then typed.
    EXPECT_EQ(parse("{ab"), press('A') + press('B'));
    EXPECT_EQ(parse("{}"), shifted(VirtualKey::OemBracketRight));
}

TEST_F(KeyStrings, RepeatCountsRoundHalfToEvenAndAreAtLeastOne) {
    auto count = [&](const char* repeat) {
        return parse(QStringLiteral("{a %1}").arg(QLatin1String(repeat))).size() / 2;
    };
    EXPECT_EQ(count("2.5"), 2);
    EXPECT_EQ(count("3.5"), 4);
    EXPECT_EQ(count("2.6"), 3);
    EXPECT_EQ(count("3x"), 3);
    EXPECT_EQ(count("1e1"), 10);
    EXPECT_EQ(count("x"), 1);
    EXPECT_EQ(count("0.5"), 1);
    EXPECT_EQ(count("-4"), 1);
    EXPECT_EQ(count("1e300"), KeyStringParser::kMaxRepeat);
    EXPECT_EQ(parse("{a  3}").size(), 2); // the count is the second part, here empty
}

TEST_F(KeyStrings, WhatTheLayoutCannotTypeGoesAsUnicode) {
    EXPECT_EQ(parse(QStringLiteral("\u00e4\u20ac")), unicode(0xE4) + unicode(0x20AC));
    EXPECT_EQ(parse(QStringLiteral("{\u00e4 2}")), times(2, unicode(0xE4)));
    // A character beyond the basic plane goes as its two code units, in braces too.
    const Records smiley = unicode(0xD83D) + unicode(0xDE00);
    EXPECT_EQ(parse(QStringLiteral("\U0001F600")), smiley);
    EXPECT_EQ(parse(QStringLiteral("{\U0001F600 2}")), smiley + smiley);
}

TEST_F(KeyStrings, CapsLockInvertsShiftForLettersWhenTyping) {
    layout.capsLock = true;
    EXPECT_EQ(parse("aA1!"), shifted('A') + press('A') + press('1') + shifted('1'));
    // Shortcuts are keys, not letters: "^v" stays Ctrl+V, "^+x" Ctrl+Shift+X.
    EXPECT_EQ(parse("^v"), Records{hold(kCtrl)} + press('V') + Records{release(kCtrl)});
    EXPECT_EQ(parse("^+x"), (Records{hold(kCtrl), hold(kShift)} + press('X') +
                             Records{release(kShift), release(kCtrl)}));
}

TEST_F(KeyStrings, LongStringsKeepEveryRecord) {
    const Records records = parse(QString(700, QLatin1Char('a')) + "{b 400}");
    ASSERT_EQ(records.size(), 2200);
    EXPECT_EQ(records.mid(1398, 4), press('A') + press('B'));
    EXPECT_EQ(records.last(), press('B').last());
}

} // namespace
