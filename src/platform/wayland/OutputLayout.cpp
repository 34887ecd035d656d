#include "platform/wayland/OutputLayout.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

namespace kamsulo::platform {

namespace {
int scaled(int logical, qreal scale) {
    return int(std::lround(logical * scale));
}

qreal ratioOf(const WaylandOutput& o) {
    return o.logical.width() > 0 ? qreal(o.mode.width()) / o.logical.width() : 1.0;
}
} // namespace

OutputLayout::OutputLayout(QList<WaylandOutput> outputs) : outputs_(std::move(outputs)) {
    qreal scale = 0;
    for (const WaylandOutput& o : std::as_const(outputs_)) {
        bounds_ |= o.logical;
        scale = std::max(scale, ratioOf(o));
    }
    if (scale > 0) scale_ = scale;
}

QSize OutputLayout::frameSize() const {
    return {scaled(bounds_.width(), scale_), scaled(bounds_.height(), scale_)};
}

QRect OutputLayout::inFrame(const WaylandOutput& o) const {
    const QPoint at = o.logical.topLeft() - bounds_.topLeft();
    return {scaled(at.x(), scale_), scaled(at.y(), scale_), scaled(o.logical.width(), scale_),
            scaled(o.logical.height(), scale_)};
}

QRect OutputLayout::deviceOf(const WaylandOutput& o) const {
    return {inFrame(o).topLeft(), o.mode};
}

QRect OutputLayout::desktop() const {
    QRect all;
    for (const WaylandOutput& o : outputs_)
        all |= deviceOf(o);
    return all.isEmpty() ? all : QRect(QPoint(0, 0), all.bottomRight());
}

QRect OutputLayout::device(const QString& name) const {
    for (const WaylandOutput& o : outputs_)
        if (o.name == name) return deviceOf(o);
    return {};
}

QRect OutputLayout::toDevice(const QRect& logical) const {
    if (outputs_.isEmpty()) return {};
    const WaylandOutput* on = &outputs_.first();
    for (const WaylandOutput& o : outputs_)
        if (o.logical.contains(logical.center())) on = &o;
    const qreal rx = on->logical.width() > 0 ? qreal(on->mode.width()) / on->logical.width() : 1;
    const qreal ry = on->logical.height() > 0 ? qreal(on->mode.height()) / on->logical.height() : 1;
    const QPoint at = logical.topLeft() - on->logical.topLeft();
    return {deviceOf(*on).topLeft() + QPoint(scaled(at.x(), rx), scaled(at.y(), ry)),
            QSize(scaled(logical.width(), rx), scaled(logical.height(), ry))};
}

QImage OutputLayout::fromFrame(const QImage& frame) const {
    if (frame.size() != frameSize()) return frame;
    const bool ownPixels = std::all_of(outputs_.cbegin(), outputs_.cend(),
                                       [&](const auto& o) { return inFrame(o).size() == o.mode; });
    if (ownPixels && desktop().size() == frame.size()) return frame;
    QImage out(desktop().size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    for (const WaylandOutput& o : outputs_) {
        const QRect shown = inFrame(o);
        if (shown.size() == o.mode)
            p.drawImage(deviceOf(o).topLeft(), frame, shown);
        else // enlarged in the frame: back to its own pixels, averaged
            p.drawImage(
                deviceOf(o).topLeft(),
                frame.copy(shown).scaled(o.mode, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return out;
}

} // namespace kamsulo::platform
