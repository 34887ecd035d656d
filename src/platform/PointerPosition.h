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

// The device pixel of the desktop where `event`, received by `receiver`, happened: the
// display server's own record of it where there is one, else `estimate` (an event made
// up by Qt or a test, or on Wayland), where the event's position lies in device pixels.
QPoint eventOnDesktop(const QMouseEvent& event, const QWidget& receiver, QPoint estimate);
// The device pixel of `receiver` where `event` happened, at the ratio of its screen
// (deviceRatio()). The widget's first device pixel is its logical position in its window
// times the ratio, rounded as the painter rounds.
QPoint eventInWidget(const QMouseEvent& event, const QWidget& receiver);

} // namespace kamsulo::platform
