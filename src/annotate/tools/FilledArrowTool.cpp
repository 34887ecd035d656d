#include "annotate/ArrowGeometry.h"
#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

namespace kamsulo::annotate {

void FilledArrowTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().Linie1;
    ctx.snapshot();
    s.setFillStyle(FillSolid);
    s.setFillColor(s.foreColor());
    Arrow(s, roundEven(o.X2(s)), roundEven(o.Y2(s)), roundEven(o.X1(s)), roundEven(o.Y1(s)),
          kHeadRadius);
    s.setFillColor(0);
    s.setFillStyle(FillTransparent);
    o.setVisible(false);
}

} // namespace kamsulo::annotate
