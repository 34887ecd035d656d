#include "app/Layout.h"

#include <cstdlib>

namespace kamsulo::app {

ScrollBarSetup scrollBarFor(double pictureLen, double viewportLen, long long prevLarge,
                            long long prevSmall) {
    ScrollBarSetup s;
    s.max = roundEven(pictureLen - (viewportLen - 100));
    s.visible = pictureLen > viewportLen;
    s.largeChange = prevLarge;
    s.smallChange = prevSmall;
    if (const long long d = s.max / 500; d != 0) s.largeChange = s.max / d;
    if (const long long d = s.max / 100; d != 0) s.smallChange = s.max / d;
    return s;
}

CentreResult centreAxis(double canvasLen, double viewportLen) {
    if (canvasLen < viewportLen) return {(viewportLen - canvasLen) / 2, false};
    return {0, true};
}

ViewportSize viewportFor(double W, double H, double vscrollWidth, double paletteHeight,
                         double hscrollHeight) {
    return {W - 400 - vscrollWidth, H - 1550 - paletteHeight - hscrollHeight};
}

SnapResult snapToMinimum(double W, double H, double minW, double minH) {
    SnapResult r{W, H, false};
    if (W < minW) {
        r.width = minW;
        r.changed = true;
    }
    if (H < minH) {
        r.height = minH;
        r.changed = true;
    }
    return r;
}

long long centredLabelPos(double boxLen, double labelLen) {
    return roundEven(boxLen - labelLen) / 2;
}

} // namespace kamsulo::app
