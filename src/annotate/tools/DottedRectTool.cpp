#include "annotate/CanvasSurface.h"
#include "annotate/tools/RectTools.h"

namespace kamsulo::annotate {

void DottedRectTool::commit(ToolContext& ctx, int) {
    const GestureState& g = ctx.state();
    CanvasSurface& s = ctx.surface();
    ctx.snapshot();
    const int width = s.drawWidth();
    s.setDrawWidth(1);
    s.setDrawStyle(DrawDot);
    ctx.previews().shape4.setVisible(false);
    s.box(float(g.rectX1), float(g.rectY1), float(g.rectX2), float(g.rectY2), g.drawColor);
    s.setDrawStyle(DrawSolid);
    s.setDrawWidth(width);
}

} // namespace kamsulo::annotate
