// Writes an 8-bit indexed bitmap as a GIF file (GIF87a, one LZW-compressed
// image) with a global colour table of 256 entries (the bitmap's palette, padded
// with black).
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

// Returns a status: Ok, InvalidParameter (not 8-bit indexed, or larger than
// 65535 pixels a side), OutOfMemory or SystemError.
int writeGif(const Bitmap& bitmap, AtomicFile& file);

} // namespace kamsulo::imaging
