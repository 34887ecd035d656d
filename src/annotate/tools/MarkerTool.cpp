#include "annotate/CanvasSurface.h"
#include "annotate/tools/StrokeTools.h"

namespace kamsulo::annotate {

void MarkerTool::applyPen(CanvasSurface& s) const {
    s.setPenWidth(kWidthFactor * s.penWidth());
    s.setDrawMode(DrawMode::MaskPen);
}

} // namespace kamsulo::annotate
