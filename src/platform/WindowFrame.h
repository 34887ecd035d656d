#pragma once
// The frame that the window manager draws around a top-level window.
#include <QMargins>
#include <optional>

namespace kamsulo::platform {

// The frame's widths on each side (_NET_FRAME_EXTENTS), in pixels; none until the
// window manager has framed the window, and none without a window manager.
std::optional<QMargins> frameExtents(quint64 window);

} // namespace kamsulo::platform
