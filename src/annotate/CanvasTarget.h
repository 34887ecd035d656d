#pragma once
// What the tool palette and the add-text dialog change on the canvas. The canvas
// widget implements it; the palette strip and the text dialog only see this.
#include <QFont>
#include <QString>
#include <QtGlobal>

namespace kamsulo::annotate {

enum ScaleModeValue { ScaleTwips = 1, ScalePixels = 3 };

// Indexes of the hidden cursor labels: "marker2", "hand", "eraser", "freihand",
// "text", "pip".
enum MouseIconIndex {
    IconMarker = 0,
    IconHand = 1,
    IconEraser = 2,
    IconFreehand = 3,
    IconText = 4,
    IconPipette = 5
};

class CanvasTarget {
public:
    virtual ~CanvasTarget() = default;

    // ScaleMode: 1 twips, 3 pixels.
    virtual void setScaleMode(int mode) = 0;
    virtual int scaleMode() const = 0;
    // Custom pointer (MousePointer 99) with the icon of lblIconContainer(index).
    virtual void setMouseIcon(int iconIndex) = 0;
    // Pen width in pixels, whatever the scale.
    virtual void setDrawWidth(int pixels) = 0;
    virtual int drawWidth() const = 0;
    // Colours are 0x00BBGGRR.
    virtual void setForeColor(quint32 bgr) = 0;
    virtual quint32 foreColor() const = 0;
    // drawColor of the gesture state.
    virtual void setDrawColor(quint32 bgr) = 0;
    // lineStartX = lineStartY = 0.
    virtual void resetLineStart() = 0;
    virtual void focusCanvas() = 0;

    // Text: the canvas font (family, fractional point size, bold, italic, underline,
    // strike-out), the pen position and printing at it in ForeColor, transparent.
    virtual QFont font() const = 0;
    virtual void setFont(const QFont& f) = 0;
    virtual void setCurrentXY(double x, double y) = 0; // canvas scale units
    virtual void printText(const QString& text) = 0;
};

} // namespace kamsulo::annotate
