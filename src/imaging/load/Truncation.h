// Whether a raster file ends before its picture does. Qt's JPEG, BMP and GIF readers
// show what they got of a picture cut off, the rest grey or black, and call it a
// success; the PNG and TIFF readers refuse it themselves, but the PNG reader only after
// asking for the memory of the chunk that passes the end.
#pragma once

#include "imaging/load/RasterFormat.h"

#include <QByteArrayView>

namespace kamsulo::imaging {

// True when the file ends before its picture's data does: a JPEG before its
// end-of-image marker, a bitmap before its rows (or its run-length data before its
// end), a GIF before the end of its first picture's data, a PNG inside a chunk before
// its end chunk. A file damaged otherwise is left to the reader.
bool cutShort(RasterFormat format, QByteArrayView file);

} // namespace kamsulo::imaging
