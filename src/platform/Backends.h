#pragma once
// The implementations of each backend, for the loader only.
#include <memory>

namespace kamsulo::platform {

class ScreenGrabber;

std::unique_ptr<ScreenGrabber> makeX11ScreenGrabber();
std::unique_ptr<ScreenGrabber> makeWaylandScreenGrabber();

} // namespace kamsulo::platform
