#pragma once
// Where the pointer is in device pixels of the desktop, the one place where the overlay's
// logical positions meet the frozen desktop's pixels. Every monitor has a ratio of its
// own (on Wayland an output at 1.5 may stand beside one at 1), so a position counts on
// the monitor under it, at that monitor's pixels:
//   device = floor((position - its logical corner) * its ratio) + its device corner.
// Positions are logical and fractional, on the one plane that all monitors share (a
// window's corner on it plus the position in the window).
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>

namespace kamsulo::capture {

struct MonitorPixels {
    QRectF logical;    // on the plane of pointer positions
    QRect device;      // its pixels in the desktop
    qreal ratio = 1.0; // device pixels per logical pixel
};

class DesktopPixels {
public:
    DesktopPixels() = default;
    explicit DesktopPixels(QList<MonitorPixels> monitors);

    // The device pixel under a pointer at `logical`, on the monitor that holds it, else
    // on the nearest one (continued past its edge).
    QPoint deviceAt(const QPointF& logical) const;
    const QList<MonitorPixels>& monitors() const { return monitors_; }

private:
    QList<MonitorPixels> monitors_;
};

} // namespace kamsulo::capture
