#include "capture/region/LabelText.h"

#include "capture/region/RegionGeometry.h"

#include <cstdlib>

namespace kamsulo::capture {

QString sizeLabelText(float x, float y, float anchorX, float anchorY, float twipsPerPixelX,
                      float twipsPerPixelY) {
    const int px = twipsToPixel(x, twipsPerPixelX);
    const int py = twipsToPixel(y, twipsPerPixelY);
    const int w = std::abs(px - twipsToPixel(anchorX, twipsPerPixelX));
    const int h = std::abs(py - twipsToPixel(anchorY, twipsPerPixelY));
    return QStringLiteral("X=%1 Y=%2; B=%3 H=%4").arg(px).arg(py).arg(w).arg(h);
}

} // namespace kamsulo::capture
