#pragma once
// The focused window on sway, through its IPC socket ($SWAYSOCK).
#include <QRect>
#include <optional>

namespace kamsulo::platform {

struct SwayWindow {
    quint64 id = 0; // sway's container id
    QRect rect;     // the window's content, in the layout's logical pixels
};

// None when sway does not answer or no window has the focus.
std::optional<SwayWindow> swayFocusedWindow();

} // namespace kamsulo::platform
