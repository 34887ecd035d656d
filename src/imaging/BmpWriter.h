// Writes the picture as a 24-bit BMP file.
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

// Writes a view of the picture (Bitmap::viewOf), converting it to 24 bits row by
// row on the way, without a converted copy of the whole picture. Returns a status:
// Ok, InvalidParameter (not a 32-bit view), ValueOverflow (too large for the
// format), OutOfMemory or SystemError (the file could not be written; the reason
// is in `file`).
int writeBmp(const Bitmap& picture, AtomicFile& file);

} // namespace kamsulo::imaging
