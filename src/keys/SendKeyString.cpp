#include "keys/SendKeyString.h"

#include "keys/KeyStringParser.h"

namespace kamsulo::keys {

bool sendKeyString(const QString& text, platform::KeyInjector& injector) {
    const auto layout = injector.currentLayout();
    const QList<platform::KeyInput> records = KeyStringParser(*layout).parse(text);
    return records.isEmpty() || injector.inject(records);
}

} // namespace kamsulo::keys
