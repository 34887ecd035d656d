#pragma once
// Where the pointer is, in device pixels of the desktop. Qt rounds the positions of its
// mouse events to whole logical pixels, which at a scale of 2 or 1.5 hides every second
// or third device pixel; the display server knows the pixel itself.
#include <QPoint>
#include <optional>

namespace kamsulo::platform {

// The pointer now; none without a display server that tells.
std::optional<QPoint> pointerOnDesktop();

} // namespace kamsulo::platform
