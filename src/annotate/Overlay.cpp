#include "annotate/Overlay.h"

#include "annotate/CanvasSurface.h"

#include <cmath>

namespace kamsulo::annotate {

double Overlay::twipsPerUnitX(const CanvasSurface& s) {
    return s.scaleMode() == ScaleMode::Twips ? 1.0 : double(s.twipsPerPixelX());
}
double Overlay::twipsPerUnitY(const CanvasSurface& s) {
    return s.scaleMode() == ScaleMode::Twips ? 1.0 : double(s.twipsPerPixelY());
}

void Overlay::setGeometry(const CanvasSurface& s, double a, double b, double c, double d) {
    a_ = a * twipsPerUnitX(s);
    b_ = b * twipsPerUnitY(s);
    c_ = c * twipsPerUnitX(s);
    d_ = d * twipsPerUnitY(s);
}

QRect Overlay::pixelBox(const CanvasSurface& s) const {
    const double tx = s.twipsPerPixelX();
    const double ty = s.twipsPerPixelY();
    const int l = int(std::lround(a_ / tx));
    const int t = int(std::lround(b_ / ty));
    return QRect(l, t, int(std::lround((a_ + c_) / tx)) - l, int(std::lround((b_ + d_) / ty)) - t);
}

QLine Overlay::pixelLine(const CanvasSurface& s) const {
    const double tx = s.twipsPerPixelX();
    const double ty = s.twipsPerPixelY();
    return QLine(int(std::lround(a_ / tx)), int(std::lround(b_ / ty)), int(std::lround(c_ / tx)),
                 int(std::lround(d_ / ty)));
}

} // namespace kamsulo::annotate
