#include "annotate/CanvasSurface.h"
#include "annotate/tools/RectTools.h"

namespace kamsulo::annotate {

void DottedRectTool::commit(ToolContext& ctx, int) {
    const GestureState& g = ctx.state();
    CanvasSurface& s = ctx.surface();
    ctx.takeUndoSnapshot();
    const int width = s.penWidth();
    s.setPenWidth(1);
    s.setDrawStyle(DrawStyle::Dotted);
    ctx.previews().box.setVisible(false);
    s.box(float(g.rectX1), float(g.rectY1), float(g.rectX2), float(g.rectY2), g.drawColor);
    s.setDrawStyle(DrawStyle::Solid);
    s.setPenWidth(width);
}

} // namespace kamsulo::annotate
