#include "annotate/tools/PickTools.h"

namespace kamsulo::annotate {

void TextTool::press(ToolContext& ctx, int, double, double) {
    ctx.snapshot();
    ctx.showTextDialog();
}

} // namespace kamsulo::annotate
