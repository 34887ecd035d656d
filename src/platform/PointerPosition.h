#pragma once
// Where a mouse event happened, in device pixels. Qt rounds the positions of its mouse
// events to whole logical pixels, which at a scale of 2 or 1.5 hides every second or
// third device pixel; the display server's own event has the device pixel. Asking the
// display server where the pointer is now would not do: by the time an event is handled
// the pointer may have moved on.
#include <QPoint>
#include <QPointF>

class QMouseEvent;
class QWidget;

namespace kamsulo::platform {

// Records the display server's pointer events from now on; before the windows that
// need exact positions are shown. Once is enough, more calls do nothing.
void followPointerEvents();

// The device pixel of the desktop where `event`, received by `receiver`, happened; when
// the display server has not told (an event made up by Qt or a test, or on Wayland), its
// global position scaled by `ratio` (the screen's device pixels per logical pixel; 0 for
// Qt's ratio, which is rounded up where the compositor scales by a fraction), unrounded.
QPointF eventOnDesktop(const QMouseEvent& event, const QWidget& receiver, qreal ratio = 0);
// The device pixel of `receiver` where `event` happened. The widget's first device pixel
// is its logical position in its window times the ratio, rounded as the painter rounds.
QPoint eventInWidget(const QMouseEvent& event, const QWidget& receiver);

} // namespace kamsulo::platform
