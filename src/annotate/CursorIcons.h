#pragma once
// The canvas's pointer images, one per cursor icon.
#include "annotate/CanvasTarget.h"

#include <QCursor>

namespace kamsulo::annotate {

QCursor cursorForIcon(CursorIcon icon);

} // namespace kamsulo::annotate
