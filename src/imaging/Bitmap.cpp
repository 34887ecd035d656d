#include "imaging/Bitmap.h"

#include <new>

namespace kamsulo::imaging {

int bitsPerPixel(PixelFormat format) {
    return static_cast<int>((static_cast<std::uint32_t>(format) >> 8) & 0xff);
}

Bitmap::Bitmap(int width, int height, PixelFormat format, Fill fill)
    : width_(width), height_(height), format_(format) {
    if (width <= 0 || height <= 0) {
        width_ = height_ = 0;
        return;
    }
    stride_ = alignedStride(width, bitsPerPixel(format));
    const std::size_t size = stride_ * static_cast<std::size_t>(height);
    bits_.reset(fill == Fill::Zero ? new std::uint8_t[size]() : new std::uint8_t[size]);
}

Bitmap Bitmap::viewOf(const Picture& picture) {
    Bitmap b;
    if (picture.isNull()) return b;
    b.width_ = picture.width();
    b.height_ = picture.height();
    b.format_ = PixelFormat::Rgb32;
    b.stride_ = picture.stride();
    b.viewed_ = picture.image();
    b.view_ = b.viewed_.constBits();
    return b;
}

Picture::Picture(const QImage& image) {
    if (image.isNull()) return;
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        image_ = image;
    else
        image_ = image.convertToFormat(QImage::Format_RGB32);
}

} // namespace kamsulo::imaging
