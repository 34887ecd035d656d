#include "annotate/CanvasSurface.h"
#include "annotate/tools/StrokeTools.h"

namespace kamsulo::annotate {

namespace {
// Keeps the draw mode and the pen width and puts them back at the end of a step.
class PenKeeper {
public:
    explicit PenKeeper(CanvasSurface& s) : s_(s), mode_(s.drawMode()), width_(s.penWidth()) {}
    ~PenKeeper() {
        s_.setPenWidth(width_);
        s_.setDrawMode(mode_);
    }
    PenKeeper(const PenKeeper&) = delete;
    PenKeeper& operator=(const PenKeeper&) = delete;

private:
    CanvasSurface& s_;
    DrawMode mode_;
    int width_;
};
} // namespace

void StrokeTool::press(ToolContext& ctx, int button, double x, double y) {
    if (button != ButtonLeft) return;
    CanvasSurface& s = ctx.surface();
    PenKeeper keep(s);
    applyPen(s);
    ctx.takeUndoSnapshot();
    s.dot(x, y);
}

void StrokeTool::move(ToolContext& ctx, int buttons, double x, double y) {
    if (buttons != ButtonLeft) return;
    CanvasSurface& s = ctx.surface();
    {
        PenKeeper keep(s);
        applyPen(s);
        s.lineTo(x, y);
    }
    ctx.setMarkingsDrawn();
}

} // namespace kamsulo::annotate
