#include "annotate/OverlayPainter.h"

#include "annotate/CanvasSurface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kamsulo::annotate {

namespace {
constexpr int kMargin = 2;
constexpr double kCornerRadius = 10;

QRegion frameStrips(const QRect& box, int thickness) {
    const QRect outer = box.adjusted(-kMargin, -kMargin, kMargin + 1, kMargin + 1);
    const QRect inner = outer.adjusted(thickness, thickness, -thickness, -thickness);
    QRegion r(outer);
    if (inner.isValid()) r -= QRegion(inner);
    return r;
}

QRegion lineStrips(const QLine& l) {
    QRegion r;
    const QPoint d = l.p2() - l.p1();
    const int steps = std::max(1, (std::max(std::abs(d.x()), std::abs(d.y())) + 31) / 32);
    QPoint from = l.p1();
    for (int i = 1; i <= steps; ++i) {
        const QPoint to = l.p1() + d * i / steps;
        r += QRect(from, to).normalized().adjusted(-kMargin - 1, -kMargin - 1, kMargin + 1,
                                                   kMargin + 1);
        from = to;
    }
    return r;
}

QRegion ellipseStrips(const QRect& box) {
    // The outline keeps outside the central rectangle of half-axes a/sqrt2, b/sqrt2.
    const QRect outer = box.adjusted(-kMargin, -kMargin, kMargin + 1, kMargin + 1);
    const double k = 1.0 - 1.0 / std::sqrt(2.0);
    const int ix = int(box.width() * k / 2.0) + kMargin + 1;
    const int iy = int(box.height() * k / 2.0) + kMargin + 1;
    const QRect inner = box.adjusted(ix, iy, -ix, -iy);
    QRegion r(outer);
    if (inner.isValid()) r -= QRegion(inner);
    return r;
}
} // namespace

QRegion overlayRegion(const Overlay& o, const CanvasSurface& s) {
    if (!o.isVisible()) return {};
    switch (o.kind()) {
    case Overlay::Box:
        return frameStrips(o.pixelBox(s), 2 * kMargin + 1);
    case Overlay::RoundedBox:
        return frameStrips(o.pixelBox(s), int(kCornerRadius) + 2 * kMargin);
    case Overlay::Ellipse:
        return ellipseStrips(o.pixelBox(s));
    case Overlay::Line:
        return lineStrips(o.pixelLine(s));
    }
    return {};
}

void paintOverlay(QPainter& p, const Overlay& o, const CanvasSurface& s) {
    if (!o.isVisible()) return;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    for (int pass = 0; pass < 2; ++pass) {
        QPen pen(pass == 0 ? Qt::white : Qt::black, 1);
        if (pass == 1) pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        switch (o.kind()) {
        case Overlay::Box:
            p.drawRect(o.pixelBox(s));
            break;
        case Overlay::RoundedBox:
            p.drawRoundedRect(o.pixelBox(s), kCornerRadius, kCornerRadius);
            break;
        case Overlay::Ellipse:
            p.drawEllipse(o.pixelBox(s));
            break;
        case Overlay::Line:
            p.drawLine(o.pixelLine(s));
            break;
        }
    }
}

} // namespace kamsulo::annotate
