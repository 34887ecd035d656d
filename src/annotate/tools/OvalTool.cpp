#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

#include <cmath>

namespace kamsulo::annotate {

void OvalTool::showPreview(ToolContext& ctx, double x, double y) {
    const GestureState& g = ctx.state();
    Overlay& o = ctx.previews().ellipse;
    if (x < g.lineStartX) x = g.lineStartX;
    if (y < g.lineStartY) y = g.lineStartY;
    o.setGeometry(ctx.surface(), g.lineStartX, g.lineStartY, x - g.lineStartX, y - g.lineStartY);
    o.setVisible(true);
}

void OvalTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().ellipse;
    ctx.takeUndoSnapshot();
    o.setVisible(false);
    s.setScaleMode(ScaleMode::Pixels);
    const double left = o.left(s);
    const double top = o.top(s);
    s.ellipseArc(roundEven(left), roundEven(top), roundEven(left + o.width(s)),
                 roundEven(top + o.height(s)), 0, 0, 0, 0);
    s.setScaleMode(ScaleMode::Twips);
}

} // namespace kamsulo::annotate
