#pragma once
// Colours travel as 0x00BBGGRR values, as the canvas and the dialogs keep them.
#include <QColor>
#include <QtGlobal>

namespace kamsulo::annotate {

inline QColor bgrToQColor(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline quint32 qColorToBgr(const QColor& c) {
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

// The same from a raw 0xAARRGGBB pixel of a QImage.
inline quint32 rgbToBgr(QRgb rgb) {
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

} // namespace kamsulo::annotate
