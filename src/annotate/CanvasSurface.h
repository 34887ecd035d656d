#pragma once
// The canvas's persistent picture with its drawing attributes and primitives.
// Coordinates are in the current scale (twips or pixels); pen widths are pixels in
// both. Nothing here needs a window.
#include "annotate/DrawingModes.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QtGlobal>

class QPainter;

namespace kamsulo::annotate {

// colorAt outside the picture.
constexpr quint32 kNoColor = 0xFFFFFFFFu;

class CanvasSurface {
public:
    CanvasSurface();

    // The picture. Any format is accepted and held as Format_RGB32.
    void setPicture(const QImage& picture);
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }
    QSize pixelSize() const { return image_.size(); }

    // Twips per screen pixel used by the twips scale.
    void setTwipsPerPixel(double x, double y);
    double twipsPerPixelX() const { return twipsPerPixelX_; }
    double twipsPerPixelY() const { return twipsPerPixelY_; }

    // Drawing attributes. Colours are 0x00BBGGRR.
    quint32 penColor() const { return penColor_; }
    void setPenColor(quint32 bgr) { penColor_ = bgr & 0x00FFFFFFu; }
    int penWidth() const { return penWidth_; }
    void setPenWidth(int pixels) { penWidth_ = pixels < 1 ? 1 : pixels; }
    DrawMode drawMode() const { return drawMode_; }
    void setDrawMode(DrawMode mode) { drawMode_ = mode; }
    DrawStyle drawStyle() const { return drawStyle_; }
    void setDrawStyle(DrawStyle style) { drawStyle_ = style; }
    FillStyle fillStyle() const { return fillStyle_; }
    void setFillStyle(FillStyle style) { fillStyle_ = style; }
    quint32 fillColor() const { return fillColor_; }
    void setFillColor(quint32 bgr) { fillColor_ = bgr & 0x00FFFFFFu; }
    ScaleMode scaleMode() const { return scaleMode_; }
    void setScaleMode(ScaleMode mode) { scaleMode_ = mode; }
    // The pen position, where lineTo starts and printText prints.
    double penX() const { return penX_; }
    double penY() const { return penY_; }
    void movePenTo(double x, double y) {
        penX_ = x;
        penY_ = y;
    }
    const QFont& font() const { return font_; }
    void setFont(const QFont& f) { font_ = f; }

    // Scale units <-> pixels.
    double unitsPerPixelX() const;
    double unitsPerPixelY() const;
    int toPixelX(double x) const;
    int toPixelY(double y) const;
    QPoint toPixel(double x, double y) const { return {toPixelX(x), toPixelY(y)}; }

    // Primitives in scale units. The pen is penColor, penWidth, drawMode, drawStyle.
    void dot(double x, double y);                          // round dot; pen moves there
    void lineTo(double x, double y);                       // from the pen position
    void line(double x1, double y1, double x2, double y2); // pen moves to the end
    void lineBy(double x, double y, double dx, double dy) { line(x, y, x + dx, y + dy); }
    void box(double x1, double y1, double x2, double y2, quint32 bgr);
    void filledBox(double x1, double y1, double x2, double y2, quint32 bgr);
    // Circle sector: angles in radians counter-clockwise from the right, within
    // [-2pi, 2pi]; a negative angle also draws the radius to that end of the arc, and
    // with both negative the closed slice takes the fill.
    void circleSector(double cx, double cy, double radius, double start, double end);
    // Prints with the pen position as the top-left corner, in the pen colour, on a
    // transparent background; then the pen goes to x 0 of the next line.
    void printText(const QString& text);

    // Device primitives, in pixels, with the current pen and fill.
    // A rounded rectangle within left..right-1 and top..bottom-1, corners of an ellipse
    // cornerW x cornerH.
    void roundRect(int left, int top, int right, int bottom, int cornerW, int cornerH);
    // The arc of the ellipse in the box, counter-clockwise from the ray through the start
    // point to the ray through the end point; the whole ellipse when both are equal.
    void ellipseArc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                    int yEnd);
    // 0x00BBGGRR of the pixel, or kNoColor outside the picture.
    quint32 colorAt(int x, int y) const;

    // Pixels changed since the last call (for repainting).
    QRect takeChangedRect();

private:
    void beginPen(QPainter& p, int width) const;
    void setComposition(QPainter& p) const;
    QColor inkColor(quint32 bgr) const;
    void fillPixels(const QRect& r, quint32 bgr);
    void strokeLine(QPoint a, QPoint b);
    void touched(const QRect& r);

    QImage image_;
    double twipsPerPixelX_ = 15;
    double twipsPerPixelY_ = 15;
    quint32 penColor_ = 0;
    int penWidth_ = 1;
    DrawMode drawMode_ = DrawMode::CopyPen;
    DrawStyle drawStyle_ = DrawStyle::Solid;
    FillStyle fillStyle_ = FillStyle::Transparent;
    quint32 fillColor_ = 0;
    ScaleMode scaleMode_ = ScaleMode::Twips;
    double penX_ = 0;
    double penY_ = 0;
    QFont font_;
    QRect changed_;
};

} // namespace kamsulo::annotate
