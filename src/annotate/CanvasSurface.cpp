#include "annotate/CanvasSurface.h"

#include "annotate/Bgr.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kamsulo::annotate {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDefaultTwipsPerPixel = 15;

int roundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

double degrees16(double radians) {
    return radians * 180.0 / std::numbers::pi * 16.0;
}

// The rectangle with these opposite corners, both included.
QRect spanRect(QPoint a, QPoint b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}
} // namespace

CanvasSurface::CanvasSurface() {
    font_ = QFont(QStringLiteral("Arial"));
    font_.setPointSizeF(8.25);
}

void CanvasSurface::setPicture(const QImage& picture) {
    image_ = picture.format() == QImage::Format_RGB32
                 ? picture
                 : picture.convertToFormat(QImage::Format_RGB32);
    touched(image_.rect());
}

void CanvasSurface::setTwipsPerPixel(double x, double y) {
    twipsPerPixelX_ = x > 0 ? x : kDefaultTwipsPerPixel;
    twipsPerPixelY_ = y > 0 ? y : kDefaultTwipsPerPixel;
}

double CanvasSurface::unitsPerPixelX() const {
    return scaleMode_ == ScaleMode::Twips ? twipsPerPixelX_ : 1.0;
}
double CanvasSurface::unitsPerPixelY() const {
    return scaleMode_ == ScaleMode::Twips ? twipsPerPixelY_ : 1.0;
}
int CanvasSurface::toPixelX(double x) const {
    return roundHalfUp(x / unitsPerPixelX());
}
int CanvasSurface::toPixelY(double y) const {
    return roundHalfUp(y / unitsPerPixelY());
}

QColor CanvasSurface::inkColor(quint32 bgr) const {
    return drawMode_ == DrawMode::White ? QColor(Qt::white) : bgrColor(bgr);
}

void CanvasSurface::setComposition(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    if (drawMode_ == DrawMode::MaskPen)
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    else
        p.setCompositionMode(QPainter::CompositionMode_Source);
}

void CanvasSurface::beginPen(QPainter& p, int width) const {
    setComposition(p);
    QPen pen(inkColor(penColor_));
    pen.setWidth(std::max(1, width));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    // A styled pen exists only one pixel wide; wider pens draw solid.
    if (drawStyle_ == DrawStyle::Dotted && width <= 1) {
        pen.setStyle(Qt::DotLine);
        pen.setCapStyle(Qt::FlatCap);
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

void CanvasSurface::touched(const QRect& r) {
    changed_ = changed_.united(r & image_.rect());
}

QRect CanvasSurface::takeChangedRect() {
    QRect r = changed_;
    changed_ = QRect();
    return r;
}

void CanvasSurface::fillPixels(const QRect& r, quint32 bgr) {
    if (image_.isNull() || r.isEmpty()) return;
    QPainter p(&image_);
    setComposition(p);
    p.fillRect(r, inkColor(bgr));
    touched(r);
}

void CanvasSurface::dot(double x, double y) {
    penX_ = x;
    penY_ = y;
    if (image_.isNull()) return;
    const QPoint c = toPixel(x, y);
    const int w = penWidth_;
    if (w <= 1) {
        fillPixels(QRect(c, QSize(1, 1)), penColor_);
        return;
    }
    // A disc of diameter w: the pixels whose centres lie within it.
    const int left = c.x() - w / 2;
    const int top = c.y() - w / 2;
    const double cx = left + w / 2.0;
    const double cy = top + w / 2.0;
    const double r2 = (w / 2.0) * (w / 2.0);
    QPainter p(&image_);
    setComposition(p);
    const QColor colour = inkColor(penColor_);
    for (int j = top; j < top + w; ++j) {
        const double dy = j + 0.5 - cy;
        bool any = false;
        int from = 0, to = 0;
        for (int i = left; i < left + w; ++i) {
            const double dx = i + 0.5 - cx;
            if (dx * dx + dy * dy <= r2) {
                if (!any) from = i;
                any = true;
                to = i;
            }
        }
        if (any) p.fillRect(QRect(from, j, to - from + 1, 1), colour);
    }
    touched(QRect(left, top, w, w));
}

void CanvasSurface::strokeLine(QPoint a, QPoint b) {
    if (image_.isNull()) return;
    QPainter p(&image_);
    beginPen(p, penWidth_);
    if (a == b)
        p.drawPoint(a);
    else
        p.drawLine(a, b);
    const int m = penWidth_ + 1;
    touched(QRect(a, b).normalized().adjusted(-m, -m, m, m));
}

void CanvasSurface::lineTo(double x, double y) {
    const QPoint a = toPixel(penX_, penY_);
    penX_ = x;
    penY_ = y;
    strokeLine(a, toPixel(x, y));
}

void CanvasSurface::line(double x1, double y1, double x2, double y2) {
    penX_ = x2;
    penY_ = y2;
    strokeLine(toPixel(x1, y1), toPixel(x2, y2));
}

void CanvasSurface::box(double x1, double y1, double x2, double y2, quint32 bgr) {
    penX_ = x2;
    penY_ = y2;
    if (image_.isNull()) return;
    const QRect r = spanRect(toPixel(x1, y1), toPixel(x2, y2));
    const int w = penWidth_;
    if (drawStyle_ == DrawStyle::Dotted && w <= 1) {
        QPainter p(&image_);
        beginPen(p, 1);
        QPen pen = p.pen();
        pen.setColor(inkColor(bgr));
        p.setPen(pen);
        p.drawRect(QRect(r.topLeft(), QSize(r.width() - 1, r.height() - 1)));
        touched(r.adjusted(-1, -1, 1, 1));
        return;
    }
    // The outline is centred on the rectangle's edges, w pixels thick.
    const int lo = w / 2;
    const int hi = w - 1 - lo;
    const QRect outer = r.adjusted(-lo, -lo, hi, hi);
    const QRect inner = outer.adjusted(w, w, -w, -w);
    if (inner.isEmpty()) {
        fillPixels(outer, bgr);
        return;
    }
    fillPixels(QRect(outer.left(), outer.top(), outer.width(), w), bgr);
    fillPixels(QRect(outer.left(), inner.bottom() + 1, outer.width(), w), bgr);
    fillPixels(QRect(outer.left(), inner.top(), w, inner.height()), bgr);
    fillPixels(QRect(inner.right() + 1, inner.top(), w, inner.height()), bgr);
}

void CanvasSurface::filledBox(double x1, double y1, double x2, double y2, quint32 bgr) {
    penX_ = x2;
    penY_ = y2;
    const QRect r = spanRect(toPixel(x1, y1), toPixel(x2, y2));
    const int lo = penWidth_ / 2;
    const int hi = penWidth_ - 1 - lo;
    fillPixels(r.adjusted(-lo, -lo, hi, hi), bgr);
}

void CanvasSurface::circleSector(double cx, double cy, double radius, double start, double end) {
    if (image_.isNull() || std::abs(start) > kTwoPi || std::abs(end) > kTwoPi) return;
    const QPoint c = toPixel(cx, cy);
    const double r = radius / unitsPerPixelX();
    const double a0 = std::abs(start);
    double span = std::abs(end) - a0;
    if (span <= 0) span += kTwoPi;
    const QRectF bounds(c.x() - r, c.y() - r, 2 * r, 2 * r);

    QPainterPath path;
    const bool fromCentre = start < 0;
    const bool toCentre = end < 0;
    if (fromCentre) {
        path.moveTo(c);
        path.arcTo(bounds, a0 * 180.0 / std::numbers::pi, span * 180.0 / std::numbers::pi);
    } else {
        path.arcMoveTo(bounds, a0 * 180.0 / std::numbers::pi);
        path.arcTo(bounds, a0 * 180.0 / std::numbers::pi, span * 180.0 / std::numbers::pi);
    }
    if (toCentre) path.lineTo(c);
    if (fromCentre && toCentre) path.closeSubpath();

    QPainter p(&image_);
    beginPen(p, penWidth_);
    if (fromCentre && toCentre && fillStyle_ == FillStyle::Solid) p.setBrush(bgrColor(fillColor_));
    p.drawPath(path);
    const int m = penWidth_ + 1;
    touched(bounds.toAlignedRect().adjusted(-m, -m, m, m));
}

void CanvasSurface::printText(const QString& text) {
    if (!image_.isNull() && !text.isEmpty()) {
        QPainter p(&image_);
        p.setFont(font_);
        p.setPen(bgrColor(penColor_));
        const QFontMetricsF fm(font_, &image_);
        const QPoint at = toPixel(penX_, penY_);
        p.drawText(QPointF(at.x(), at.y() + fm.ascent()), text);
        touched(fm.boundingRect(text)
                    .translated(at.x(), at.y() + fm.ascent())
                    .toAlignedRect()
                    .adjusted(-2, -2, 2, 2));
        penY_ += fm.height() * unitsPerPixelY();
    }
    penX_ = 0;
}

void CanvasSurface::roundRect(int left, int top, int right, int bottom, int cornerW, int cornerH) {
    if (image_.isNull()) return;
    const QRect r = spanRect(QPoint(left, top), QPoint(right, bottom));
    QPainter p(&image_);
    beginPen(p, penWidth_);
    if (fillStyle_ == FillStyle::Solid) p.setBrush(bgrColor(fillColor_));
    // The figure lies within left..right-1 and top..bottom-1.
    const QRect shape(r.left(), r.top(), std::max(0, r.width() - 2), std::max(0, r.height() - 2));
    if (shape.width() == 0 || shape.height() == 0)
        p.drawLine(shape.topLeft(), shape.topLeft() + QPoint(shape.width(), shape.height()));
    else
        p.drawRoundedRect(shape, cornerW / 2.0, cornerH / 2.0, Qt::AbsoluteSize);
    const int m = penWidth_ + 1;
    touched(r.adjusted(-m, -m, m, m));
}

void CanvasSurface::ellipseArc(int left, int top, int right, int bottom, int xStart, int yStart,
                               int xEnd, int yEnd) {
    if (image_.isNull()) return;
    const QRect r = spanRect(QPoint(left, top), QPoint(right, bottom));
    const QRect shape(r.left(), r.top(), std::max(0, r.width() - 2), std::max(0, r.height() - 2));
    QPainter p(&image_);
    beginPen(p, penWidth_);
    if (shape.width() == 0 || shape.height() == 0) {
        // A flat ellipse is the segment its outline runs along.
        p.drawLine(shape.topLeft(), shape.topLeft() + QPoint(shape.width(), shape.height()));
    } else if (xStart == xEnd && yStart == yEnd) {
        p.drawEllipse(shape);
    } else {
        const QPointF c = QRectF(shape).center();
        const double a0 = std::atan2(-(yStart - c.y()), xStart - c.x());
        double a1 = std::atan2(-(yEnd - c.y()), xEnd - c.x());
        if (a1 <= a0) a1 += kTwoPi;
        p.drawArc(shape, int(std::lround(degrees16(a0))), int(std::lround(degrees16(a1 - a0))));
    }
    const int m = penWidth_ + 1;
    touched(r.adjusted(-m, -m, m, m));
}

quint32 CanvasSurface::colorAt(int x, int y) const {
    if (!image_.valid(x, y)) return kNoColor;
    return rgbToBgr(image_.pixel(x, y));
}

} // namespace kamsulo::annotate
