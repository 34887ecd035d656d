#pragma once
// One drawing tool of the palette: what it does on press, move and release.
#include "annotate/GestureState.h"
#include "annotate/Overlay.h"
#include "annotate/ToolId.h"

#include <QtGlobal>
#include <memory>

namespace kamsulo::annotate {

class CanvasSurface;

// Mouse buttons as a mask.
enum ButtonMask { ButtonLeft = 1, ButtonRight = 2, ButtonMiddle = 4 };

// What a tool may use of the canvas while it acts.
class ToolContext {
public:
    virtual ~ToolContext() = default;
    virtual CanvasSurface& surface() = 0;
    virtual GestureState& state() = 0;
    virtual Previews& previews() = 0;
    // One snapshot for undo, right before a marking is first drawn.
    virtual void takeUndoSnapshot() = 0;
    virtual void setMarkingsDrawn() = 0;
    // The current colour (the swatch) := bgr.
    virtual void setCurrentColor(quint32 bgr) = 0;
    virtual void showTextDialog() = 0;
};

class Tool {
public:
    virtual ~Tool() = default;
    virtual ToolId id() const = 0;
    // The text tool acts before the press takes the pen colour, and ends the press.
    virtual bool takesWholePress() const { return false; }
    // `button`: the button pressed or released; `buttons`: the buttons held.
    virtual void press(ToolContext&, int /*button*/, double /*x*/, double /*y*/) {}
    virtual void move(ToolContext&, int /*buttons*/, double /*x*/, double /*y*/) {}
    virtual void release(ToolContext&, int /*button*/, double /*x*/, double /*y*/) {}
    // The preview this tool drags out, if it has one.
    virtual Overlay* preview(Previews&) const { return nullptr; }
};

// The tool with this id, or nullptr for ToolId::None.
std::unique_ptr<Tool> makeTool(ToolId id);

} // namespace kamsulo::annotate
