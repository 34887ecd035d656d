#pragma once
// The canvas tooltip: what a double click and Shift-dragging do on the picture.
#include <QString>

namespace kamsulo::annotate {

// `pannable`: the canvas is wider or higher than its viewport. `undoReadSlot` above 0
// means that there are markings to clear. A negative slot leaves `current` as it is.
QString canvasToolTip(bool pannable, int undoReadSlot, const QString& current);

} // namespace kamsulo::annotate
