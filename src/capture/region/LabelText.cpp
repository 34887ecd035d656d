#include "capture/region/LabelText.h"

#include <QLocale>
#include <cmath>

namespace kamsulo::capture {

QString formatFloat(float value) {
    if (value == 0.0f) value = 0.0f; // no "-0"
    static const QLocale german = [] {
        QLocale l(QLocale::German, QLocale::Germany);
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    return german.toString(double(value), 'G', 7);
}

QString sizeLabelText(float x, float y, float anchorX, float anchorY, float twipsPerPixelX,
                      float twipsPerPixelY) {
    float h = (y - anchorY) / twipsPerPixelY;
    if (h < 0) h = -h;
    float w = (x - anchorX) / twipsPerPixelX;
    if (w < 0) w = -w;
    return QStringLiteral("X=") + formatFloat(x / twipsPerPixelX) + QStringLiteral(" Y=") +
           formatFloat(y / twipsPerPixelY) + QStringLiteral("; B=") + formatFloat(w) +
           QStringLiteral(" H=") + formatFloat(h);
}

} // namespace kamsulo::capture
