#include "annotate/CanvasSurface.h"
#include "annotate/tools/RectTools.h"

#include <cmath>

namespace kamsulo::annotate {

void RectGestureTool::press(ToolContext& ctx, int button, double x, double y) {
    if (!acts(button)) return;
    GestureState& g = ctx.state();
    g.rectX1 = g.rectX2 = x;
    g.rectY1 = g.rectY2 = y;
    Overlay* o = preview(ctx.previews());
    o->setGeometry(ctx.surface(), x, y, 0, 0);
    o->setVisible(true);
}

void RectGestureTool::move(ToolContext& ctx, int buttons, double x, double y) {
    if (!acts(buttons)) return;
    GestureState& g = ctx.state();
    g.rectX2 = x;
    g.rectY2 = y;
    preview(ctx.previews())
        ->setGeometry(ctx.surface(), std::min(g.rectX1, x), std::min(g.rectY1, y),
                      std::abs(x - g.rectX1), std::abs(y - g.rectY1));
}

void RectGestureTool::release(ToolContext& ctx, int button, double, double) {
    if (!acts(button)) return;
    commit(ctx, button);
    ctx.setMarkingsDrawn();
}

} // namespace kamsulo::annotate
