#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

#include <cmath>

namespace kamsulo::annotate {

void OvalTool::showPreview(ToolContext& ctx, double x, double y) {
    const GestureState& g = ctx.state();
    Overlay& o = ctx.previews().onfly;
    if (x < g.lineStartX) x = g.lineStartX;
    if (y < g.lineStartY) y = g.lineStartY;
    o.setGeometry(ctx.surface(), g.lineStartX, g.lineStartY, x - g.lineStartX, y - g.lineStartY);
    o.setVisible(true);
}

void OvalTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().onfly;
    ctx.snapshot();
    o.setVisible(false);
    s.setScaleMode(3);
    const double left = o.left(s);
    const double top = o.top(s);
    s.Arc(roundEven(left), roundEven(top), roundEven(left + o.width(s)),
          roundEven(top + o.height(s)), 0, 0, 0, 0);
    s.setScaleMode(1);
}

} // namespace kamsulo::annotate
