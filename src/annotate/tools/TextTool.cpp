#include "annotate/tools/PickTools.h"

namespace kamsulo::annotate {

void TextTool::press(ToolContext& ctx, int, double, double) {
    ctx.takeUndoSnapshot();
    ctx.showTextDialog();
}

} // namespace kamsulo::annotate
