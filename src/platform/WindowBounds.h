#pragma once
// Where a top-level window is seen on the desktop, from what the window manager and the
// client say of its edges: plain arithmetic in device pixels of the desktop.
#include "platform/DevicePixels.h"

#include <QImage>
#include <QMargins>
#include <QRect>
#include <QRegion>
#include <functional>

namespace kamsulo::platform {

// The window as it is seen: the client window grown by the frame that the window manager
// draws around it (_NET_FRAME_EXTENTS), and shrunk by the invisible margins that a client
// drawing its own decorations keeps around them for their shadow (_GTK_FRAME_EXTENTS).
// Negative widths count as none, and margins that would leave nothing are not taken off.
QRect seenWindowRect(const QRect& client, const QMargins& frame, const QMargins& shadow);

// The smallest rectangle that holds every part of `window` that lies on a monitor; empty
// when no part does.
QRect partOnMonitors(const QRect& window, const QList<Monitor>& monitors);
// What of `rect` lies on no monitor, relative to its top-left corner.
QRegion offMonitors(const QRect& rect, const QList<Monitor>& monitors);

// The picture of a window at `outer` as the monitors show it: cut by `grab` (a
// rectangle of the desktop, device pixels) to its part on the monitors, with what lies
// between them black. The whole `screen` when no part of it is on a monitor.
QImage windowPicture(const QRect& outer, const QList<Monitor>& monitors, const QRect& screen,
                     const std::function<QImage(const QRect&)>& grab);

} // namespace kamsulo::platform
