#pragma once
// The pictures on the palette strip: one per drawing tool, the undo arrow and the
// short lines that show the six line widths.
#include "annotate/ToolId.h"

#include <QPixmap>

namespace kamsulo::annotate {

QPixmap toolPicture(ToolId tool);
QPixmap undoPicture();
QPixmap widthPicture(int widthPixels, QSize size);

} // namespace kamsulo::annotate
