#include "annotate/ArrowGeometry.h"
#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

namespace kamsulo::annotate {

void FilledArrowTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().line;
    ctx.takeUndoSnapshot();
    s.setFillStyle(FillStyle::Solid);
    s.setFillColor(s.penColor());
    drawFilledArrow(s, roundEven(o.endX(s)), roundEven(o.endY(s)), roundEven(o.startX(s)),
                    roundEven(o.startY(s)), kHeadRadius);
    s.setFillColor(0);
    s.setFillStyle(FillStyle::Transparent);
    o.setVisible(false);
}

} // namespace kamsulo::annotate
