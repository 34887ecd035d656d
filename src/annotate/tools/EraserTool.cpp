#include "annotate/CanvasSurface.h"
#include "annotate/tools/StrokeTools.h"

namespace kamsulo::annotate {

void EraserTool::applyPen(CanvasSurface& s) const {
    s.setPenWidth(kWidth);
    s.setDrawMode(DrawMode::White);
}

} // namespace kamsulo::annotate
