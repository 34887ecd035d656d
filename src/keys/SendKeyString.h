#pragma once
// Typing a key string into the window that has the keyboard focus.
#include <QString>

namespace kamsulo::platform {
class KeyInjector;
}

namespace kamsulo::keys {

// Parses the string against the injector's current layout and replays all its
// records in one batch. False when there was input to send but no keyboard to
// send it to. Usually called with platform::keyInjector().
bool sendKeyString(const QString& text, platform::KeyInjector& injector);

} // namespace kamsulo::keys
