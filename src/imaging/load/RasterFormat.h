// The raster formats the program reads, told by the file's first bytes. Qt's image
// plugins read many more; a file reaches only the decoder of the format it is in, and
// only when that is one of these.
#pragma once

#include <QByteArray>

namespace kamsulo::imaging {

enum class RasterFormat {
    Png,
    Jpeg,
    Gif,
    Bitmap, // also .dib and .rle
    Tiff,
    Icon, // icons and cursors
    Unlisted,
};

RasterFormat rasterFormat(const QByteArray& head);

// The name of Qt's reader for a listed format.
QByteArray readerName(RasterFormat format);

} // namespace kamsulo::imaging
