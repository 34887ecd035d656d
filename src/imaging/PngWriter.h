// Writes the picture as a 24-bit RGB PNG file, compressed with libdeflate. Each
// row gets the filter whose bytes are the most concentrated on few values (the
// least entropy).
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

// Writes a view of the picture (Bitmap::viewOf). Returns a status: Ok,
// InvalidParameter (not a 32-bit view), OutOfMemory, ValueOverflow or SystemError.
int writePng(const Bitmap& picture, AtomicFile& file);

} // namespace kamsulo::imaging
