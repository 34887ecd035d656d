#pragma once
// The frame that the window manager draws around a top-level window, and the state
// in which it maps a window.
#include <QMargins>
#include <optional>

namespace kamsulo::platform {

// The frame's widths on each side (_NET_FRAME_EXTENTS), in pixels; none until the
// window manager has framed the window, and none without a window manager.
std::optional<QMargins> frameExtents(quint64 window);

// A hidden top-level window that was minimised once is mapped minimised again when it
// is shown; this marks it to come back in its normal state instead.
void showNormalWhenMapped(quint64 window);

} // namespace kamsulo::platform
