#pragma once
// The implementations of each backend, for the loader only.
#include <memory>

namespace kamsulo::platform {

class KeyInjector;
class ScreenGrabber;

std::unique_ptr<ScreenGrabber> makeX11ScreenGrabber();
std::unique_ptr<ScreenGrabber> makeWaylandScreenGrabber();
std::unique_ptr<KeyInjector> makeX11KeyInjector();
std::unique_ptr<KeyInjector> makeWaylandKeyInjector();
std::unique_ptr<ScreenGrabber> makeNullScreenGrabber();
std::unique_ptr<KeyInjector> makeNullKeyInjector();

} // namespace kamsulo::platform
