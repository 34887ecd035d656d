// The form in which every loaded picture leaves the loader.
#pragma once

#include <QImage>

namespace kamsulo::imaging {

// The picture as 32-bit opaque RGB (QImage::Format_RGB32) with each pixel
// composed over black, so that transparent pixels become black, and without a
// colour space. A null image when there is no memory for the conversion.
QImage opaqueOverBlack(QImage image);

} // namespace kamsulo::imaging
