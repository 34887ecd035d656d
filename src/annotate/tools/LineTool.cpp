#include "annotate/CanvasSurface.h"
#include "annotate/tools/LineTools.h"

namespace kamsulo::annotate {

void LineTool::commit(ToolContext& ctx) {
    CanvasSurface& s = ctx.surface();
    Overlay& o = ctx.previews().line;
    ctx.takeUndoSnapshot();
    s.line(o.startX(s), o.startY(s), o.endX(s), o.endY(s));
    o.setVisible(false);
}

} // namespace kamsulo::annotate
