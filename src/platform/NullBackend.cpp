// Where there is neither an X11 nor a Wayland session: no pictures and no keys, and
// every capture says why.
#include "platform/Backends.h"
#include "platform/KeyInjector.h"
#include "platform/ScreenGrabber.h"

namespace kamsulo::platform {

namespace {

const char* const noSessionText =
    "Kein Bildschirmfoto möglich: Weder eine X11- noch eine Wayland-Sitzung ist erreichbar.";

class NullScreenGrabber final : public ScreenGrabber {
public:
    GrabModes modes() const override { return {}; }
    QRect primaryScreen() const override { return {}; }
    QRect rootRect() const override { return {}; }
    std::unique_ptr<GrabRequest> request(const GrabOrder& order) override {
        return GrabRequest::answered(grabNow(order));
    }
    GrabAnswer grabNow(const GrabOrder&) override { return {{}, QString::fromUtf8(noSessionText)}; }
};

class NoLayout final : public KeyboardLayout {
public:
    std::optional<LayoutKey> keyForCharacter(char16_t) const override { return std::nullopt; }
    quint16 scanCodeOf(quint16) const override { return 0; }
    bool capsLockOn() const override { return false; }
};

class NullKeyInjector final : public KeyInjector {
public:
    std::unique_ptr<KeyboardLayout> currentLayout() override {
        return std::make_unique<NoLayout>();
    }
    bool inject(const QList<KeyInput>&) override { return false; }
    bool reachesOtherPrograms() const override { return false; }
};

} // namespace

std::unique_ptr<ScreenGrabber> makeNullScreenGrabber() {
    return std::make_unique<NullScreenGrabber>();
}

std::unique_ptr<KeyInjector> makeNullKeyInjector() {
    return std::make_unique<NullKeyInjector>();
}

} // namespace kamsulo::platform
