#pragma once
// One drawing tool of the palette: what it does on press, move and release.
#include "annotate/GestureState.h"
#include "annotate/Overlay.h"

#include <QtGlobal>
#include <memory>

#include "annotate/ToolIndex.h"

namespace kamsulo::annotate {

class CanvasSurface;

// Mouse buttons as a mask: 1 left, 2 right.
enum ButtonMask { ButtonLeft = 1, ButtonRight = 2 };

// What a tool may use of the canvas while it acts.
class ToolContext {
public:
    virtual ~ToolContext() = default;
    virtual CanvasSurface& surface() = 0;
    virtual GestureState& state() = 0;
    virtual Previews& previews() = 0;
    // undo_dummy_pic: one snapshot right before a marking is first drawn.
    virtual void snapshot() = 0;
    virtual void setMarkingsDrawn() = 0;
    // The current colour (the swatch) := bgr.
    virtual void setCurrentColor(quint32 bgr) = 0;
    virtual void showTextDialog() = 0;
};

class Tool {
public:
    virtual ~Tool() = default;
    virtual int index() const = 0;
    // The text tool acts before the press takes the pen colour, and ends the press.
    virtual bool takesWholePress() const { return false; }
    // `button`: the button pressed or released; `buttons`: the buttons held.
    virtual void press(ToolContext&, int /*button*/, double /*x*/, double /*y*/) {}
    virtual void move(ToolContext&, int /*buttons*/, double /*x*/, double /*y*/) {}
    virtual void release(ToolContext&, int /*button*/, double /*x*/, double /*y*/) {}
    // The preview control of this tool, if it has one.
    virtual Overlay* preview(Previews&) const { return nullptr; }
};

// The tool with this index (0 to 12), or nullptr.
std::unique_ptr<Tool> makeTool(int index);

} // namespace kamsulo::annotate
