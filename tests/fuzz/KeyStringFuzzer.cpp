// The key-string parser on any text: the records it makes must leave the
// keyboard as it found it. Every press of a key is released, no key is released
// that is not down, and Unicode records come as press-release pairs.
#include "FuzzSupport.h"
#include "KeyStringInput.h"
#include "keys/KeyStringParser.h"
#include "keys/UsLayout.h"

#include <QHash>

using namespace kamsulo;
using namespace kamsulo::fuzz;
using platform::KeyInputFlag;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const KeyStringInput input = KeyStringInput::read(in);
    keys::test::UsLayout layout;
    layout.capsLock = input.capsLock;
    const QList<platform::KeyInput> records = keys::KeyStringParser(layout).parse(input.text);

    QHash<quint16, int> down; // presses not yet released, by key
    for (qsizetype i = 0; i < records.size(); ++i) {
        const platform::KeyInput& record = records[i];
        const bool up = record.flags.testFlag(KeyInputFlag::KeyUp);
        if (record.flags.testFlag(KeyInputFlag::Unicode)) {
            check(record.virtualKey == 0, "Unicode record without a key");
            check(!up && i + 1 < records.size() && records[i + 1].scanCode == record.scanCode &&
                      records[i + 1].flags == (KeyInputFlag::Unicode | KeyInputFlag::KeyUp),
                  "Unicode press and release", [&] { return QString::number(i); });
            ++i;
            continue;
        }
        check(record.virtualKey != 0, "a key", [&] { return QString::number(i); });
        int& held = down[record.virtualKey];
        held += up ? -1 : 1;
        check(held >= 0, "release of a key that is up",
              [&] { return QString::number(record.virtualKey); });
    }
    for (auto it = down.cbegin(); it != down.cend(); ++it)
        check(it.value() == 0, "key left down", [&] { return QString::number(it.key()); });
    check(!input.text.isEmpty() || records.isEmpty(), "nothing from nothing");
    return 0;
}
