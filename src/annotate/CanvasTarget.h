#pragma once
// What the tool palette and the add-text dialog change on the canvas. The canvas
// widget implements it; the palette strip and the text dialog only see this.
#include "annotate/DrawingModes.h"

#include <QFont>
#include <QString>
#include <QtGlobal>

namespace kamsulo::annotate {

// The pictures the canvas pointer shows while a tool is chosen.
enum class CursorIcon { Marker, Hand, Eraser, Freehand, Text, Pipette };

class CanvasTarget {
public:
    virtual ~CanvasTarget() = default;

    virtual void setScaleMode(ScaleMode mode) = 0;
    virtual ScaleMode scaleMode() const = 0;
    // The pointer shows this tool picture (until a pan or the Shift key changes it).
    virtual void setCursorIcon(CursorIcon icon) = 0;
    // Pen width in pixels, whatever the scale.
    virtual void setPenWidth(int pixels) = 0;
    virtual int penWidth() const = 0;
    // Colours are 0x00BBGGRR.
    virtual void setPenColor(quint32 bgr) = 0;
    virtual quint32 penColor() const = 0;
    // The colour the rectangle tools draw with (kept in the gesture state).
    virtual void setDrawColor(quint32 bgr) = 0;
    // Forgets the start point of a line gesture.
    virtual void resetLineStart() = 0;
    virtual void focusCanvas() = 0;

    // Text: the canvas font (family, fractional point size, bold, italic, underline,
    // strike-out), the pen position and printing at it in the pen colour, transparent.
    virtual QFont font() const = 0;
    virtual void setFont(const QFont& f) = 0;
    virtual void movePenTo(double x, double y) = 0; // canvas scale units
    virtual void printText(const QString& text) = 0;
};

} // namespace kamsulo::annotate
