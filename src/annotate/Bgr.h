#pragma once
// Colours at the program's interfaces are 0x00BBGGRR; Qt holds them as 0xAARRGGBB.
#include <QColor>
#include <QRgb>
#include <QtGlobal>

namespace kamsulo::annotate {

inline QRgb bgrToRgb(quint32 bgr) {
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline quint32 rgbToBgr(QRgb rgb) {
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

inline QColor bgrColor(quint32 bgr) {
    return QColor::fromRgb(bgrToRgb(bgr));
}

inline quint32 colorToBgr(const QColor& c) {
    return rgbToBgr(c.rgb());
}

} // namespace kamsulo::annotate
