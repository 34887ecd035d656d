#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

namespace kamsulo::annotate {

void LineTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().Linie1;
    ctx.snapshot();
    s.line(o.X1(s), o.Y1(s), o.X2(s), o.Y2(s));
    o.setVisible(false);
}

} // namespace kamsulo::annotate
