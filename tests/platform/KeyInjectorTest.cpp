// Key strings typed through XTest into a text field of this process, on the test
// display.
#include "platform/KeyInjector.h"
#include "keys/SendKeyString.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyboardMapping.h"
#include "support/modal.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace kamsulo::platform;
using kamsulo::keys::sendKeyString;
using kamsulo::test::waitFor;

namespace {

bool capsLockOn() {
    return keyInjector().currentLayout()->capsLockOn();
}

class Typing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(c, nullptr);
        field.resize(400, 40);
        field.show();
        field.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
        // Qt may call the window active before the X input focus has moved to it.
        ASSERT_TRUE(waitFor([&] {
            const auto focus = x11Reply(xcb_get_input_focus_reply, c, xcb_get_input_focus(c));
            return focus && focus->focus == field.winId() && field.hasFocus();
        }));
    }
    void TearDown() override {
        if (capsLockOn()) sendKeyString("{CAPSLOCK}", keyInjector());
        EXPECT_TRUE(waitFor([] { return !capsLockOn(); }));
    }
    bool arrives(const QString& expected) {
        return waitFor([&] { return field.text() == expected; });
    }
    xcb_connection_t* c = x11Connection();
    QLineEdit field;
};

TEST_F(Typing, ModifiersBracedKeysRepeatsAndUnicodeArriveExactly) {
    ASSERT_TRUE(sendKeyString(QStringLiteral("+(ab)c{LEFT}{x 3}{END}-\u00e4\u20ac\U0001F600"),
                              keyInjector()));
    const QString expected = QStringLiteral("ABxxxc-\u00e4\u20ac\U0001F600");
    EXPECT_TRUE(arrives(expected)) << field.text().toStdString();

    // The spare keys that typed the characters without a key lose them again.
    const KeySymbol euro = X11KeyboardMapping::symbolOfCharacter(U'\u20ac');
    EXPECT_TRUE(waitFor([&] { return !X11KeyboardMapping::read(c).keyOf(euro, 1); }));
}

TEST_F(Typing, CapsLockIsReadFromTheKeyboardAndLettersArriveAsWritten) {
    ASSERT_FALSE(capsLockOn());
    sendKeyString("{CAPSLOCK}", keyInjector());
    ASSERT_TRUE(waitFor(capsLockOn));
    sendKeyString("aB", keyInjector());
    EXPECT_TRUE(arrives("aB")) << field.text().toStdString();
}

TEST_F(Typing, MoreCharactersWithoutKeysThanSpareKeysArriveInOrder) {
    // Twice as many as there are spare keys, sent as two strings back to back.
    const qsizetype count = 2 * X11KeyboardMapping::read(c).spareKeys().size() + 3;
    QString text;
    for (qsizetype i = 0; i < count; ++i)
        text += QChar(char16_t(0x4E00 + i));
    ASSERT_TRUE(sendKeyString(text.left(count / 2), keyInjector()));
    ASSERT_TRUE(sendKeyString(text.mid(count / 2), keyInjector()));
    EXPECT_TRUE(waitFor([&] { return field.text() == text; }, 20000))
        << field.text().size() << " of " << count;
    const KeySymbol last = X11KeyboardMapping::symbolOfCharacter(text.back().unicode());
    EXPECT_TRUE(waitFor([&] { return !X11KeyboardMapping::read(c).keyOf(last, 1); }));
}

} // namespace
