#pragma once
// What the canvas needs of the main window that holds it.
#include "annotate/ToolId.h"

#include <QSize>
#include <QString>
#include <QtGlobal>

namespace kamsulo::annotate {

class CanvasHost {
public:
    virtual ~CanvasHost() = default;

    // The main window's caption (the canvas shows the pointer position in it).
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& text) = 0;
    // clearButtonHighlight: all command buttons back to their normal colour.
    virtual void clearButtonHighlight() = 0;
    // updateCanvasToolTip: the canvas tooltip from the viewport state and undoReadSlot.
    virtual void updateCanvasToolTip() = 0;

    // The tool selected on the palette strip, or ToolId::None.
    virtual ToolId selectedTool() const = 0;
    // Deselects every tool button (the Shift key).
    virtual void deselectAllTools() = 0;
    // The current colour: the palette strip's swatch, 0x00BBGGRR. The pipette sets it
    // (and the swatch shows it at once).
    virtual quint32 currentColor() const = 0;
    virtual void setCurrentColor(quint32 bgr) = 0;

    // Inner size of the viewport, pixels.
    virtual QSize viewportSize() const = 0;
    // A pan moves the canvas: its left (Qt::Horizontal) or top (Qt::Vertical) in the
    // viewport := offset pixels (0 or negative, never beyond the picture's excess), and
    // the horizontal (vertical) scroll bar takes the value of -offset in its own units. Only
    // called for a direction in which the picture is larger than the viewport. The host
    // positions the canvas; the canvas never moves itself.
    virtual void panCanvas(Qt::Orientation direction, int offset) = 0;

    // The text tool's press: the canvas has taken the snapshot; the host fills in the
    // dialog's colour when none is remembered and shows the text dialog modeless.
    virtual void showTextDialog() = 0;

    // Whether markings were drawn on the picture, program-wide (the text dialog sets it
    // too).
    virtual bool markingsDrawn() const = 0;
    virtual void setMarkingsDrawn() = 0;
};

} // namespace kamsulo::annotate
