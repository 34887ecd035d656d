#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

namespace kamsulo::annotate {

void LineGestureTool::press(ToolContext& ctx, int, double x, double y) {
    GestureState& g = ctx.state();
    g.lineStartX = roundEven(x);
    g.lineStartY = roundEven(y);
    dragged_ = false;
}

void LineGestureTool::move(ToolContext& ctx, int buttons, double x, double y) {
    if (buttons != ButtonLeft) return;
    GestureState& g = ctx.state();
    if (g.lineStartX == 0 && g.lineStartY == 0) {
        g.lineStartX = roundEven(x);
        g.lineStartY = roundEven(y);
    }
    showPreview(ctx, x, y);
    dragged_ = true;
}

void LineGestureTool::showPreview(ToolContext& ctx, double x, double y) {
    const GestureState& g = ctx.state();
    Overlay& o = ctx.previews().line;
    o.setGeometry(ctx.surface(), g.lineStartX, g.lineStartY, x, y);
    o.setVisible(true);
}

void LineGestureTool::release(ToolContext& ctx, int button, double, double) {
    if (button != ButtonLeft) return;
    if (dragged_) {
        commit(ctx);
        ctx.setMarkingsDrawn();
    } else {
        // A click gives no geometry: nothing is drawn and no snapshot taken.
        preview(ctx.previews())->setVisible(false);
    }
    dragged_ = false;
    ctx.state().lineStartX = 0;
    ctx.state().lineStartY = 0;
}

} // namespace kamsulo::annotate
