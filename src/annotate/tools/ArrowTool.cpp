#include "annotate/ArrowGeometry.h"
#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

namespace kamsulo::annotate {

void ArrowTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().Linie1;
    ctx.snapshot();
    s.setFillStyle(FillSolid);
    s.setFillColor(s.foreColor());
    OpenArrow(s, float(o.X2(s)), float(o.Y2(s)), float(o.X1(s)), float(o.Y1(s)), kHeadSize, true,
              kTailMarks, kSpacing);
    s.setFillColor(0);
    s.setFillStyle(FillTransparent);
    o.setVisible(false);
}

} // namespace kamsulo::annotate
