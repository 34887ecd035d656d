#pragma once
// The key names that the key-string language accepts in braces, e.g. {ENTER}.
#include <QString>
#include <optional>

namespace kamsulo::keys {

struct NamedKey {
    quint16 virtualKey = 0;
    bool extended = false; // sent as a key of the extended block
};

// The key of a name, whatever its case; none when the name is unknown.
std::optional<NamedKey> namedKey(const QString& name);

} // namespace kamsulo::keys
