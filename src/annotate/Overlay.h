#pragma once
// The preview controls that float over the canvas while a shape is dragged out:
// shape4 (rectangle), Shape2 (rounded rectangle), onfly (ellipse), Linie1 (line).
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

    // Box kinds: left, top, width, height. Line: X1, Y1, X2, Y2. In the surface's scale.
    void setGeometry(const CanvasSurface& s, double a, double b, double c, double d);
    double left(const CanvasSurface& s) const { return a_ / upx(s); }
    double top(const CanvasSurface& s) const { return b_ / upy(s); }
    double width(const CanvasSurface& s) const { return c_ / upx(s); }
    double height(const CanvasSurface& s) const { return d_ / upy(s); }
    double X1(const CanvasSurface& s) const { return left(s); }
    double Y1(const CanvasSurface& s) const { return top(s); }
    double X2(const CanvasSurface& s) const { return width(s); }
    double Y2(const CanvasSurface& s) const { return height(s); }

    // In whole pixels, for painting: the box, or the line's end points.
    QRect pixelBox(const CanvasSurface& s) const;
    QLine pixelLine(const CanvasSurface& s) const;

    bool operator==(const Overlay&) const = default;

private:
    // Twips per unit of the surface's scale.
    static double upx(const CanvasSurface& s);
    static double upy(const CanvasSurface& s);

    Kind kind_;
    bool visible_ = false;
    double a_ = 0, b_ = 0, c_ = 0, d_ = 0; // twips
};

struct Previews {
    Overlay shape4{Overlay::Box};
    Overlay Shape2{Overlay::RoundedBox};
    Overlay onfly{Overlay::Ellipse};
    Overlay Linie1{Overlay::Line};
};

} // namespace kamsulo::annotate
