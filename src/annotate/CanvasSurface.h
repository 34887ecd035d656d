#pragma once
// The canvas's persistent picture with its drawing attributes and primitives.
// Coordinates are in the current scale (twips or pixels); pen widths are pixels in
// both. Nothing here needs a window.
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QtGlobal>

class QPainter;

namespace kamsulo::annotate {

enum DrawModeValue { DrawMaskPen = 9, DrawCopyPen = 13, DrawWhite = 16 };
enum DrawStyleValue { DrawSolid = 0, DrawDot = 2 };
enum FillStyleValue { FillSolid = 0, FillTransparent = 1 };

// GetPixel outside the picture.
constexpr quint32 kInvalidColor = 0xFFFFFFFFu;

class CanvasSurface {
public:
    CanvasSurface();

    // The picture. Any format is accepted and held as Format_RGB32.
    void setPicture(const QImage& picture);
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }
    QSize pixelSize() const { return image_.size(); }

    // Twips per screen pixel used by the twips scale.
    void setTwipsPerPixel(int x, int y);
    int twipsPerPixelX() const { return tppX_; }
    int twipsPerPixelY() const { return tppY_; }

    // Drawing attributes. Colours are 0x00BBGGRR.
    quint32 foreColor() const { return foreColor_; }
    void setForeColor(quint32 bgr) { foreColor_ = bgr & 0x00FFFFFFu; }
    int drawWidth() const { return drawWidth_; }
    void setDrawWidth(int pixels) { drawWidth_ = pixels < 1 ? 1 : pixels; }
    int drawMode() const { return drawMode_; }
    void setDrawMode(int mode) { drawMode_ = mode; }
    int drawStyle() const { return drawStyle_; }
    void setDrawStyle(int style) { drawStyle_ = style; }
    int fillStyle() const { return fillStyle_; }
    void setFillStyle(int style) { fillStyle_ = style; }
    quint32 fillColor() const { return fillColor_; }
    void setFillColor(quint32 bgr) { fillColor_ = bgr & 0x00FFFFFFu; }
    int scaleMode() const { return scaleMode_; }
    void setScaleMode(int mode);
    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentXY(double x, double y) {
        currentX_ = x;
        currentY_ = y;
    }
    const QFont& font() const { return font_; }
    void setFont(const QFont& f) { font_ = f; }

    // Scale units <-> pixels.
    double unitsPerPixelX() const;
    double unitsPerPixelY() const;
    int toPixelX(double x) const;
    int toPixelY(double y) const;
    QPoint toPixel(double x, double y) const { return {toPixelX(x), toPixelY(y)}; }

    // Primitives in scale units. The pen is ForeColor, DrawWidth, DrawMode, DrawStyle.
    void pset(double x, double y);                         // round dot; pen moves there
    void lineTo(double x, double y);                       // from the pen position
    void line(double x1, double y1, double x2, double y2); // in ForeColor; pen to the end
    void lineBy(double x, double y, double dx, double dy) { line(x, y, x + dx, y + dy); }
    void box(double x1, double y1, double x2, double y2, quint32 bgr);
    void filledBox(double x1, double y1, double x2, double y2, quint32 bgr);
    // Circle sector: angles in radians counter-clockwise from the right, within
    // [-2pi, 2pi]; a negative angle also draws the radius to that end of the arc, and
    // with both negative the closed slice takes the fill.
    void circleSector(double cx, double cy, double radius, double start, double end);
    // Prints at (CurrentX, CurrentY) as the top-left corner, in ForeColor, transparent;
    // then CurrentX is 0 and CurrentY the next line.
    void printText(const QString& text);

    // Device primitives, in pixels, with the current pen and fill.
    void RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH);
    void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
    // 0x00BBGGRR of the pixel, or kInvalidColor outside the picture.
    quint32 GetPixel(int x, int y) const;

    // Pixels changed since the last call (for repainting).
    QRect takeChangedRect();

private:
    void beginPen(QPainter& p, int width) const;
    void setComposition(QPainter& p) const;
    QColor penColor(quint32 bgr) const;
    void fillPixels(const QRect& r, quint32 bgr);
    void strokeLine(QPoint a, QPoint b);
    void touched(const QRect& r);

    QImage image_;
    int tppX_ = 15;
    int tppY_ = 15;
    quint32 foreColor_ = 0;
    int drawWidth_ = 1;
    int drawMode_ = DrawCopyPen;
    int drawStyle_ = DrawSolid;
    int fillStyle_ = FillTransparent;
    quint32 fillColor_ = 0;
    int scaleMode_ = 1;
    double currentX_ = 0;
    double currentY_ = 0;
    QFont font_;
    QRect changed_;
};

} // namespace kamsulo::annotate
