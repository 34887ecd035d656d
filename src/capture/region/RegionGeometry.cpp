#include "capture/region/RegionGeometry.h"

#include <algorithm>
#include <cmath>

namespace kamsulo::capture {

int twipsToPixel(float twips, float twipsPerPixel) {
    if (!(twipsPerPixel > 0.0f) || !std::isfinite(twips)) return 0;
    const double px = std::floor(double(twips) / double(twipsPerPixel) + 0.5);
    return static_cast<int>(std::clamp(px, -1.0e9, 1.0e9));
}

bool isLargeEnough(float anchorX, float anchorY, float x, float y) {
    const float dx = std::fabs(anchorX - x);
    const float dy = std::fabs(anchorY - y);
    return dx > dragThresholdTwips && dy > dragThresholdTwips;
}

TwipsRect cropTwips(float anchorX, float anchorY, float x, float y) {
    TwipsRect r;
    r.left = std::min(anchorX, x) + cropInsetTwips;
    r.top = std::min(anchorY, y) + cropInsetTwips;
    r.width = std::max(anchorX, x) - r.left;
    r.height = std::max(anchorY, y) - r.top;
    return r;
}

QRect cropPixels(const TwipsRect& r, float twipsPerPixelX, float twipsPerPixelY) {
    const int left = twipsToPixel(r.left, twipsPerPixelX);
    const int top = twipsToPixel(r.top, twipsPerPixelY);
    const int right = twipsToPixel(r.left + r.width, twipsPerPixelX);
    const int bottom = twipsToPixel(r.top + r.height, twipsPerPixelY);
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

QRect outlinePixels(float anchorX, float anchorY, float x, float y, float twipsPerPixelX,
                    float twipsPerPixelY) {
    // Built from the corner pixels themselves: QRect::normalized() would shift a
    // rectangle spanned from its bottom-right corner by one pixel.
    const int ax = twipsToPixel(anchorX, twipsPerPixelX);
    const int ay = twipsToPixel(anchorY, twipsPerPixelY);
    const int bx = twipsToPixel(x, twipsPerPixelX);
    const int by = twipsToPixel(y, twipsPerPixelY);
    return QRect(QPoint(std::min(ax, bx), std::min(ay, by)),
                 QPoint(std::max(ax, bx), std::max(ay, by)));
}

QRegion outlineStrips(const QRect& outline) {
    if (outline.isEmpty()) return {};
    QRegion strips;
    strips += QRect(outline.left(), outline.top(), outline.width(), 1);
    strips += QRect(outline.left(), outline.bottom(), outline.width(), 1);
    strips += QRect(outline.left(), outline.top(), 1, outline.height());
    strips += QRect(outline.right(), outline.top(), 1, outline.height());
    return strips;
}

} // namespace kamsulo::capture
