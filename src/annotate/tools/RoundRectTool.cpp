#include "annotate/CanvasSurface.h"
#include "annotate/tools/RectTools.h"

namespace kamsulo::annotate {

void RoundRectTool::commit(ToolContext& ctx, int) {
    const GestureState& g = ctx.state();
    CanvasSurface& s = ctx.surface();
    ctx.takeUndoSnapshot();
    ctx.previews().roundedBox.setVisible(false);
    // The tool works in pixels; the conversion only matters if the scale was changed.
    s.roundRect(s.toPixelX(g.rectX1), s.toPixelY(g.rectY1), s.toPixelX(g.rectX2),
                s.toPixelY(g.rectY2), kCorner, kCorner);
}

} // namespace kamsulo::annotate
