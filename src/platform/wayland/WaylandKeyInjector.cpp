// Wayland lets no program type into another (short of the RemoteDesktop portal, which
// asks the user each time): this injector reaches nothing and says so.
#include "platform/Backends.h"
#include "platform/KeyInjector.h"

namespace kamsulo::platform {

namespace {

class NoKeys final : public KeyboardLayout {
public:
    std::optional<LayoutKey> keyForCharacter(char16_t) const override { return std::nullopt; }
    quint16 scanCodeOf(quint16) const override { return 0; }
    bool capsLockOn() const override { return false; }
};

class WaylandKeyInjector final : public KeyInjector {
public:
    std::unique_ptr<KeyboardLayout> currentLayout() override { return std::make_unique<NoKeys>(); }
    bool inject(const QList<KeyInput>&) override { return false; }
    bool reachesOtherPrograms() const override { return false; }
};

} // namespace

std::unique_ptr<KeyInjector> makeWaylandKeyInjector() {
    return std::make_unique<WaylandKeyInjector>();
}

} // namespace kamsulo::platform
