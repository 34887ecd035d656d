#include "annotate/CanvasSurface.h"
#include "annotate/tools/RectTools.h"

namespace kamsulo::annotate {

void TransparentRectTool::commit(ToolContext& ctx, int button) {
    const GestureState& g = ctx.state();
    CanvasSurface& s = ctx.surface();
    ctx.takeUndoSnapshot();
    const DrawMode mode = s.drawMode();
    if (button == ButtonLeft) s.setDrawMode(DrawMode::MaskPen);
    ctx.previews().box.setVisible(false);
    s.filledBox(float(g.rectX1), float(g.rectY1), float(g.rectX2), float(g.rectY2), g.drawColor);
    s.setDrawMode(mode);
}

} // namespace kamsulo::annotate
