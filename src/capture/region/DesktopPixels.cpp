#include "capture/region/DesktopPixels.h"

#include "platform/PointerPixel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace kamsulo::capture {

namespace {
// How far a position lies outside a rectangle; below 0 inside it (the right and bottom
// edges belong to the next one).
qreal distance(const QRectF& r, const QPointF& p) {
    if (p.x() >= r.left() && p.x() < r.right() && p.y() >= r.top() && p.y() < r.bottom()) return -1;
    const qreal dx = std::max({r.left() - p.x(), 0.0, p.x() - r.right()});
    const qreal dy = std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()});
    return std::hypot(dx, dy);
}
} // namespace

DesktopPixels::DesktopPixels(QList<MonitorPixels> monitors) : monitors_(std::move(monitors)) {}

QPoint DesktopPixels::deviceAt(const QPointF& logical) const {
    const MonitorPixels* on = nullptr;
    qreal nearest = std::numeric_limits<qreal>::infinity();
    for (const MonitorPixels& m : monitors_) {
        const qreal d = distance(m.logical, logical);
        if (d < nearest) {
            nearest = d;
            on = &m;
        }
    }
    if (!on) return logical.toPoint();
    const QPointF in = logical - on->logical.topLeft();
    return on->device.topLeft() + QPoint(platform::devicePixelAt(in.x(), on->ratio),
                                         platform::devicePixelAt(in.y(), on->ratio));
}

} // namespace kamsulo::capture
