#pragma once
// The previews that float over the canvas while a shape is dragged out: a box
// (rectangle), a rounded box, an ellipse and a line.
// They never touch the picture. Their geometry is kept in twips and reported in the
// canvas's current scale, as for any child of the canvas.
#include <QLineF>
#include <QRectF>

namespace kamsulo::annotate {

class CanvasSurface;

class Overlay {
public:
    enum Kind { Box, RoundedBox, Ellipse, Line };

    explicit Overlay(Kind kind) : kind_(kind) {}
    Kind kind() const { return kind_; }
    bool isVisible() const { return visible_; }
    void setVisible(bool on) { visible_ = on; }

    // Box kinds: left, top, width, height. Line: start x, start y, end x, end y. In the
    // surface's scale.
    void setGeometry(const CanvasSurface& s, double a, double b, double c, double d);
    double left(const CanvasSurface& s) const { return a_ / twipsPerUnitX(s); }
    double top(const CanvasSurface& s) const { return b_ / twipsPerUnitY(s); }
    double width(const CanvasSurface& s) const { return c_ / twipsPerUnitX(s); }
    double height(const CanvasSurface& s) const { return d_ / twipsPerUnitY(s); }
    double startX(const CanvasSurface& s) const { return left(s); }
    double startY(const CanvasSurface& s) const { return top(s); }
    double endX(const CanvasSurface& s) const { return width(s); }
    double endY(const CanvasSurface& s) const { return height(s); }

    // In whole pixels, for painting: the box, or the line's end points.
    QRect pixelBox(const CanvasSurface& s) const;
    QLine pixelLine(const CanvasSurface& s) const;

    bool operator==(const Overlay&) const = default;

private:
    // Twips per unit of the surface's scale.
    static double twipsPerUnitX(const CanvasSurface& s);
    static double twipsPerUnitY(const CanvasSurface& s);

    Kind kind_;
    bool visible_ = false;
    double a_ = 0, b_ = 0, c_ = 0, d_ = 0; // twips
};

struct Previews {
    Overlay box{Overlay::Box};
    Overlay roundedBox{Overlay::RoundedBox};
    Overlay ellipse{Overlay::Ellipse};
    Overlay line{Overlay::Line};
};

} // namespace kamsulo::annotate
