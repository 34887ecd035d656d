// Writes an Enhanced Metafile that holds the picture: the header, the bitmap as
// one stretch-DIB record drawn at (0, 0) in its own size, a comment record with
// the description's UTF-16 bytes when the description is not empty, and the end
// record. The frame is the picture's size in pixels at 96 dpi.
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

#include <QString>

namespace kamsulo::imaging {

// `bitmap` must be 24-bit. Returns a status: Ok, InvalidParameter, ValueOverflow
// (larger than the format can hold) or SystemError.
int writeEmf(const Bitmap& bitmap, AtomicFile& file, const QString& description);

} // namespace kamsulo::imaging
