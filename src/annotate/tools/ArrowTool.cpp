#include "annotate/ArrowGeometry.h"
#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

namespace kamsulo::annotate {

void ArrowTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().line;
    ctx.takeUndoSnapshot();
    s.setFillStyle(FillStyle::Solid);
    s.setFillColor(s.penColor());
    drawOpenArrow(s, float(o.endX(s)), float(o.endY(s)), float(o.startX(s)), float(o.startY(s)),
                  kHeadSize, true, kTailMarks, kSpacing);
    s.setFillColor(0);
    s.setFillStyle(FillStyle::Transparent);
    o.setVisible(false);
}

} // namespace kamsulo::annotate
