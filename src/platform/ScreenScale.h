#pragma once
// How many device pixels a screen shows per logical pixel, and where its logical pixels
// lie beside the other screens'. Qt paints at its own ratio; on Wayland it rounds an
// output's fractional scale up to a whole one and the compositor shrinks what it painted,
// so there the screen's pixels are its output's mode over its logical size.
#include <QRect>
#include <QRectF>

class QScreen;
class QWidget;

namespace kamsulo::platform {

qreal deviceRatio(const QScreen* screen);
// Of the screen that shows the widget; Qt's ratio when there is none.
qreal deviceRatio(const QWidget& widget);

// The screen, whose pixels are `device` in the desktop, on the one plane of logical
// positions that all screens share: a pointer position relative to a window on it plus
// the window's corner here is that plane's position. On Wayland that is Qt's geometry;
// on X11, where Qt keeps each screen's origin in device pixels, the device rectangle
// divided by the ratio.
QRectF logicalPlaneRect(const QScreen* screen, const QRect& device);

} // namespace kamsulo::platform
