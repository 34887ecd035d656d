#include "annotate/CanvasSurface.h"
#include "annotate/tools/RectTools.h"

namespace kamsulo::annotate {

void RectangleTool::commit(ToolContext& ctx, int) {
    const GestureState& g = ctx.state();
    ctx.takeUndoSnapshot();
    ctx.previews().box.setVisible(false);
    ctx.surface().box(float(g.rectX1), float(g.rectY1), float(g.rectX2), float(g.rectY2),
                      g.drawColor);
}

} // namespace kamsulo::annotate
