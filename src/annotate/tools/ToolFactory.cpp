#include "annotate/Tool.h"
#include "annotate/tools/LineTools.h"
#include "annotate/tools/PickTools.h"
#include "annotate/tools/RectTools.h"
#include "annotate/tools/StrokeTools.h"

namespace kamsulo::annotate {

std::unique_ptr<Tool> makeTool(int index) {
    switch (index) {
    case toolFreehand:
        return std::make_unique<FreehandTool>();
    case toolRectangle:
        return std::make_unique<RectangleTool>();
    case toolText:
        return std::make_unique<TextTool>();
    case toolOval:
        return std::make_unique<OvalTool>();
    case toolLine:
        return std::make_unique<LineTool>();
    case toolTransparentRect:
        return std::make_unique<TransparentRectTool>();
    case toolMarker:
        return std::make_unique<MarkerTool>();
    case toolEraser:
        return std::make_unique<EraserTool>();
    case toolPipette:
        return std::make_unique<PipetteTool>();
    case toolFilledArrow:
        return std::make_unique<FilledArrowTool>();
    case toolArrow:
        return std::make_unique<ArrowTool>();
    case toolRoundRect:
        return std::make_unique<RoundRectTool>();
    case toolDottedRect:
        return std::make_unique<DottedRectTool>();
    default:
        return nullptr;
    }
}

} // namespace kamsulo::annotate
