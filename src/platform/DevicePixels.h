#pragma once
// Logical pixels (what widgets measure in) and device pixels (what the screen and every
// picture have), converted here and nowhere else. Qt keeps each screen's origin in device
// pixels of the desktop and divides only the distances from it by the screen's ratio.
#include <QList>
#include <QMargins>
#include <QPointF>
#include <QRect>
#include <QString>

class QScreen;

namespace kamsulo::platform {

// A monitor as the display server names and places it, in device pixels of the desktop.
struct Monitor {
    QString name;
    QRect device;
};

// The device rectangle of a screen: the monitor of its name when the display server
// lists one, else its origin and its logical size times its ratio.
QRect screenDeviceRect(const QString& name, const QRect& logical, qreal ratio,
                       const QList<Monitor>& monitors);
QRect screenDeviceRect(const QScreen* screen, const QList<Monitor>& monitors);

// The frame widths that the window manager gives in device pixels, as logical pixels.
QMargins frameToLogical(const QMargins& device, qreal ratio);

// The device pixel under a pointer at a fractional logical position, both relative to
// the same corner. The display server reports whole device pixels, so the product is
// a whole number but for the rounding of the division that made the logical position.
QPoint pointerToDevice(const QPointF& logical, qreal ratio);
// A pointer's global position (QMouseEvent::globalPosition) in device pixels of the
// desktop, on the screen at `screenLogical` with `ratio`. Not rounded.
QPointF globalToDevice(const QPointF& global, const QRect& screenLogical, qreal ratio);

// A logical length or rectangle in device pixels, and device pixels as the logical
// rectangle that covers them (for repainting).
int toDevice(int logical, qreal ratio);
QRect toDevice(const QRect& logical, qreal ratio);
QRect coveringLogical(const QRect& device, qreal ratio);
// The logical size that shows a picture of `device` pixels one to one (rounded up).
QSize logicalSizeFor(const QSize& device, qreal ratio);

// Qt asks the window manager to size a window in steps of one logical pixel, which is
// 2 device pixels at 1.5: only sizes of the base size's parity can be had. The smallest
// logical base size from which `logical` times the ratio (rounded) is a whole number of
// steps.
QSize baseSizeFor(const QSize& logical, qreal ratio);

// The smallest rectangle that holds all monitors (the desktop's device pixels).
QRect desktopRect(const QList<Monitor>& monitors);

} // namespace kamsulo::platform
