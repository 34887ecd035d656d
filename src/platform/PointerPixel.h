#pragma once
// The device pixel under a pointer at a fractional logical position, both measured from
// the same corner: floor(position * ratio). Wayland reports positions in steps of 1/256
// logical pixel, rounded to the nearest step, so a position up to one step short of a
// pixel's edge counts as the pixel beyond it. Header only: windowless code uses it too.
#include <QtGlobal>
#include <cmath>

namespace kamsulo::platform {

inline constexpr qreal pointerPositionStep = 1.0 / 256;

inline int devicePixelAt(qreal logical, qreal ratio) {
    return int(std::floor((logical + pointerPositionStep) * ratio));
}

} // namespace kamsulo::platform
