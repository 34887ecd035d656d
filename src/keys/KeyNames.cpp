#include "keys/KeyNames.h"

#include "platform/KeyboardLayout.h"

#include <QHash>

namespace kamsulo::keys {

namespace {

using namespace platform::VirtualKey;

QHash<QString, NamedKey> buildTable() {
    struct Entry {
        const char* name;
        quint16 key;
        bool extended;
    };
    static const Entry entries[] = {
        {"BACKSPACE", Backspace, false},
        {"BS", Backspace, false},
        {"BKSP", Backspace, false},
        {"BREAK", Pause, true},
        {"PAUSE", Pause, false},
        {"CAPSLOCK", CapsLock, false},
        {"DELETE", Delete, true},
        {"DEL", Delete, true},
        {"DOWN", Down, true},
        {"END", End, true},
        {"ENTER", Enter, false},
        {"ESC", Escape, false},
        {"HELP", Help, false},
        {"HOME", Home, true},
        {"INS", Insert, true},
        {"INSERT", Insert, true},
        {"LEFT", Left, true},
        {"NUMLOCK", NumLock, true},
        {"PGDN", PageDown, true},
        {"PGUP", PageUp, true},
        {"PRINT", Print, true},
        {"PRTSC", PrintScreen, true},
        {"PRTSCN", PrintScreen, true},
        {"PRINTSCRN", PrintScreen, true},
        {"PRINTSCREEN", PrintScreen, true},
        {"RIGHT", Right, true},
        {"SCROLLLOCK", ScrollLock, false},
        {"SELECT", Select, false},
        {"TAB", Tab, false},
        {"UP", Up, true},
    };
    QHash<QString, NamedKey> table;
    for (const Entry& e : entries)
        table.insert(QLatin1String(e.name), NamedKey{e.key, e.extended});
    for (quint16 key = F1; key <= F16; ++key)
        table.insert(QStringLiteral("F%1").arg(key - F1 + 1), NamedKey{key, false});
    return table;
}

} // namespace

std::optional<NamedKey> namedKey(const QString& name) {
    static const QHash<QString, NamedKey> table = buildTable();
    const auto it = table.constFind(name.toUpper());
    if (it == table.cend()) return std::nullopt;
    return it.value();
}

} // namespace kamsulo::keys
