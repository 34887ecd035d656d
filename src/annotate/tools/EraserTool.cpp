#include "annotate/CanvasSurface.h"
#include "annotate/tools/StrokeTools.h"

namespace kamsulo::annotate {

void EraserTool::applyPen(CanvasSurface& s) const {
    s.setDrawWidth(kWidth);
    s.setDrawMode(DrawWhite);
}

} // namespace kamsulo::annotate
