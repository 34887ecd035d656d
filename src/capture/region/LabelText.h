#pragma once
// The text of the label that follows the pointer during a region selection.
#include <QString>

namespace kamsulo::capture {

// "X=.. Y=..; B=.. H=..": pointer position and size of the rectangle in whole device
// pixels, from the pointer and the anchor in twips. B and H are never negative.
QString sizeLabelText(float x, float y, float anchorX, float anchorY, float twipsPerPixelX,
                      float twipsPerPixelY);

} // namespace kamsulo::capture
