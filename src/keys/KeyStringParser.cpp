#include "keys/KeyStringParser.h"

#include "keys/KeyNames.h"

#include <cmath>

namespace kamsulo::keys {

namespace {

using platform::KeyInputFlag;
namespace VirtualKey = platform::VirtualKey;

// Room for this many records is made at the start; the list grows beyond as needed.
constexpr qsizetype kInitialRecordRoom = 512;

// The number a text starts with: sign, digits, decimals and exponent; 0 when it
// starts with none.
double leadingNumber(const QString& text) {
    QByteArray number;
    qsizetype i = 0;
    auto digits = [&] {
        const qsizetype start = i;
        while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
            number += char(text.at(i++).unicode());
        return i > start;
    };
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        number += char(text.at(i++).unicode());
    bool any = digits();
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        number += '.';
        ++i;
        any = digits() || any;
    }
    if (!any) return 0;
    if (i < text.size() && QStringLiteral("eEdD").contains(text.at(i))) {
        const qsizetype mark = i;
        const qsizetype kept = number.size();
        number += 'e';
        ++i;
        if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            number += char(text.at(i++).unicode());
        if (!digits()) {
            number.truncate(kept);
            i = mark;
        }
    }
    return number.toDouble();
}

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5) return lower;
    if (fraction > 0.5) return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

// The repeat count of a braced key: at least 1, at most the cap.
int repeatCount(const QString& text) {
    const double n = roundHalfEven(leadingNumber(text));
    if (!(n >= 1)) return 1;
    return n > KeyStringParser::kMaxRepeat ? KeyStringParser::kMaxRepeat : int(n);
}

bool isAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

// The layout's key for a character, when the layout has one.
std::optional<platform::LayoutKey> layoutKey(const platform::KeyboardLayout& layout, QChar c) {
    if (c.unicode() >= 256) return std::nullopt;
    return layout.keyForCharacter(c.unicode());
}

} // namespace

QList<platform::KeyInput> KeyStringParser::parse(const QString& text) {
    records_.clear();
    records_.reserve(kInitialRecordRoom);
    text_ = text;
    pos_ = 0;
    shiftHeld_ = false;
    chordDepth_ = 0;
    capsLock_ = layout_.capsLockOn();
    while (pos_ < text_.size())
        parseElement();
    return std::exchange(records_, {});
}

void KeyStringParser::parseElement() {
    const QChar c = text_.at(pos_++);
    switch (c.unicode()) {
    case '+':
    case '^':
    case '%':
        sendModified(c);
        break;
    case '(':
        sendGroup();
        break;
    case '{':
        sendBraceKey();
        break;
    default:
        sendCharacter(c);
    }
}

// The modifier is held over the next element, which may carry modifiers itself:
// "^+x" holds Ctrl, then Shift, over x. A prefix at the very end presses and
// releases the modifier alone.
void KeyStringParser::sendModified(QChar prefix) {
    const bool shift = prefix == QLatin1Char('+');
    const quint16 key = shift                        ? VirtualKey::Shift
                        : prefix == QLatin1Char('^') ? VirtualKey::Control
                                                     : VirtualKey::Alt;
    queue(key, 0, {});
    if (shift)
        shiftHeld_ = true;
    else
        ++chordDepth_;
    if (pos_ < text_.size()) parseElement();
    queue(key, 0, KeyInputFlag::KeyUp);
    if (shift)
        shiftHeld_ = false;
    else
        --chordDepth_;
}

// "(abc)" types its characters one by one, all under the modifiers in force;
// inside, braces, prefixes and parentheses are plain characters. A "(" without a
// ")" after it, or "()", is skipped and the text goes on after the "(".
void KeyStringParser::sendGroup() {
    const qsizetype open = pos_ - 1;
    const qsizetype close = text_.indexOf(QLatin1Char(')'), open);
    if (close < 0 || close == open + 1) return;
    for (qsizetype i = open + 1; i < close; ++i)
        sendCharacter(text_.at(i));
    pos_ = close + 1;
}

// "{NAME}" or "{NAME count}". The closing brace is looked for from the second
// character after the opening one on, so that "{}}" names the "}" key. An unknown
// name types its first character. A "{" with no "}" is skipped.
void KeyStringParser::sendBraceKey() {
    const qsizetype open = pos_ - 1;
    const qsizetype close = text_.indexOf(QLatin1Char('}'), open + 2);
    if (close < 0) return;
    const QString content = text_.mid(open + 1, close - open - 1);
    const QStringList parts = content.split(QLatin1Char(' '));
    const int count = repeatCount(parts.value(1));
    pos_ = close + 1;

    if (const auto named = namedKey(parts.first())) {
        for (int i = 0; i < count; ++i)
            queueKey(named->virtualKey, false, named->extended);
        return;
    }
    const QChar first = content.at(0);
    if (const auto key = layoutKey(layout_, first)) {
        for (int i = 0; i < count; ++i)
            queueKey(key->virtualKey, key->shift, false);
        return;
    }
    // A character the layout cannot type goes as Unicode, a surrogate pair whole.
    const bool pair =
        first.isHighSurrogate() && content.size() > 1 && content.at(1).isLowSurrogate();
    for (int i = 0; i < count; ++i) {
        queueUnicode(first.unicode());
        if (pair) queueUnicode(content.at(1).unicode());
    }
}

// One character: "~" is Enter; what the layout cannot type goes as Unicode. With
// Caps Lock on, letters get the opposite Shift so that they arrive as written;
// not while Ctrl or Alt is held, where the key counts and not the letter ("^v"
// stays Ctrl+V).
void KeyStringParser::sendCharacter(QChar character) {
    if (character.unicode() >= 256) {
        queueUnicode(character.unicode());
        return;
    }
    if (character == QLatin1Char('~')) {
        queueKey(VirtualKey::Enter, false, false);
        return;
    }
    const auto key = layoutKey(layout_, character);
    if (!key) {
        queueUnicode(character.unicode());
        return;
    }
    bool withShift = key->shift;
    if (capsLock_ && chordDepth_ == 0 && isAsciiLetter(character)) withShift = !withShift;
    queueKey(key->virtualKey, withShift, false);
}

// Press and release; Shift around them when the key needs it and no "+" holds it.
// The press carries no scan code, the release the layout's scan code.
void KeyStringParser::queueKey(quint16 virtualKey, bool withShift, bool extended) {
    const bool addShift = withShift && !shiftHeld_;
    if (addShift) queue(VirtualKey::Shift, 0, {});
    queue(virtualKey, 0, extended ? KeyInputFlag::ExtendedKey : platform::KeyInputFlags());
    queue(virtualKey, layout_.scanCodeOf(virtualKey), KeyInputFlag::KeyUp);
    if (addShift) queue(VirtualKey::Shift, 0, KeyInputFlag::KeyUp);
}

void KeyStringParser::queueUnicode(char16_t unit) {
    queue(0, unit, KeyInputFlag::Unicode);
    queue(0, unit, KeyInputFlag::Unicode | KeyInputFlag::KeyUp);
}

void KeyStringParser::queue(quint16 virtualKey, quint16 scanCode, platform::KeyInputFlags flags) {
    records_.append(platform::KeyInput{virtualKey, scanCode, flags});
}

} // namespace kamsulo::keys
