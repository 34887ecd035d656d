#include "annotate/CanvasSurface.h"
#include "annotate/tools/PickTools.h"

namespace kamsulo::annotate {

void PipetteTool::pick(ToolContext& ctx, double x, double y) {
    const CanvasSurface& s = ctx.surface();
    const quint32 c = s.colorAt(s.toPixelX(x), s.toPixelY(y));
    // Outside the picture there is no colour; the current one stays.
    if (c != kNoColor) ctx.setCurrentColor(c);
}

void PipetteTool::press(ToolContext& ctx, int, double x, double y) {
    pick(ctx, x, y);
}

void PipetteTool::move(ToolContext& ctx, int buttons, double x, double y) {
    if (buttons == ButtonLeft) pick(ctx, x, y);
}

} // namespace kamsulo::annotate
