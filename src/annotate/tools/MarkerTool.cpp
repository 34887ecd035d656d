#include "annotate/CanvasSurface.h"
#include "annotate/tools/StrokeTools.h"

namespace kamsulo::annotate {

void MarkerTool::applyPen(CanvasSurface& s) const {
    s.setDrawWidth(kWidthFactor * s.drawWidth());
    s.setDrawMode(DrawMaskPen);
}

} // namespace kamsulo::annotate
