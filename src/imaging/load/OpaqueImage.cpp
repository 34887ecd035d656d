#include "imaging/load/OpaqueImage.h"

#include <QColorSpace>

namespace kamsulo::imaging {

namespace {

constexpr QRgb OpaqueAlpha = 0xff000000u;

// Premultiplied pixels already are the colour over black; only the alpha goes.
void dropPremultipliedAlpha(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= OpaqueAlpha;
    }
}

void composeOverBlack(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qPremultiply(row[x]) | OpaqueAlpha;
    }
}

} // namespace

QImage opaqueOverBlack(QImage image) {
    if (image.isNull()) return {};
    if (!image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_RGB32);
    } else {
        if (image.format() != QImage::Format_ARGB32 &&
            image.format() != QImage::Format_ARGB32_Premultiplied)
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return {};
        if (image.format() == QImage::Format_ARGB32)
            composeOverBlack(image);
        else
            dropPremultipliedAlpha(image);
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    if (image.isNull()) return {};
    image.setColorSpace(QColorSpace());
    return image;
}

} // namespace kamsulo::imaging
