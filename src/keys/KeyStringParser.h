#pragma once
// The key-string language: characters, modifier prefixes ("+" Shift, "^" Ctrl,
// "%" Alt), groups in parentheses and named keys in braces, e.g. "^v", "+(ab)",
// "{LEFT 3}", "~" for Enter. A string becomes the key records that type it.
#include "platform/KeyInjector.h"

#include <QList>
#include <QString>

namespace kamsulo::keys {

class KeyStringParser {
public:
    // Repeat counts in braces are capped here, so that a slip such as {x 1e9}
    // cannot exhaust the memory.
    static constexpr int kMaxRepeat = 32767;

    explicit KeyStringParser(const platform::KeyboardLayout& layout) : layout_(layout) {}

    QList<platform::KeyInput> parse(const QString& text);

private:
    void parseElement();
    void sendModified(QChar prefix);
    void sendGroup();
    void sendBraceKey();
    void sendCharacter(QChar character);
    void queueKey(quint16 virtualKey, bool withShift, bool extended);
    void queueUnicode(char16_t unit);
    void queue(quint16 virtualKey, quint16 scanCode, platform::KeyInputFlags flags);

    const platform::KeyboardLayout& layout_;
    QString text_;
    qsizetype pos_ = 0; // characters consumed so far
    bool shiftHeld_ = false;
    int chordDepth_ = 0; // Ctrl or Alt prefixes in force
    bool capsLock_ = false;
    QList<platform::KeyInput> records_;
};

} // namespace kamsulo::keys
