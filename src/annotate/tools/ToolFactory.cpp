#include "annotate/Tool.h"
#include "annotate/tools/LineTools.h"
#include "annotate/tools/PickTools.h"
#include "annotate/tools/RectTools.h"
#include "annotate/tools/StrokeTools.h"

namespace kamsulo::annotate {

std::unique_ptr<Tool> makeTool(ToolId id) {
    switch (id) {
    case ToolId::Freehand:
        return std::make_unique<FreehandTool>();
    case ToolId::Rectangle:
        return std::make_unique<RectangleTool>();
    case ToolId::Text:
        return std::make_unique<TextTool>();
    case ToolId::Oval:
        return std::make_unique<OvalTool>();
    case ToolId::Line:
        return std::make_unique<LineTool>();
    case ToolId::TransparentRect:
        return std::make_unique<TransparentRectTool>();
    case ToolId::Marker:
        return std::make_unique<MarkerTool>();
    case ToolId::Eraser:
        return std::make_unique<EraserTool>();
    case ToolId::Pipette:
        return std::make_unique<PipetteTool>();
    case ToolId::FilledArrow:
        return std::make_unique<FilledArrowTool>();
    case ToolId::Arrow:
        return std::make_unique<ArrowTool>();
    case ToolId::RoundRect:
        return std::make_unique<RoundRectTool>();
    case ToolId::DottedRect:
        return std::make_unique<DottedRectTool>();
    case ToolId::None:
        break;
    }
    return nullptr;
}

} // namespace kamsulo::annotate
