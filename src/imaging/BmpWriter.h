// Writes a bitmap of any of the save formats as a BMP file: 1, 4 and 8 bits with
// their colour table, 16 bits 5-5-5 (plain) and 5-6-5 (bit-field masks), 24 bits,
// 32 bits RGB, and 32 bits ARGB with an alpha mask (version 4 header).
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

// Returns a status: Ok, ValueOverflow (too large for the format) or
// SystemError (the file could not be written; the reason is in `file`).
int writeBmp(const Bitmap& bitmap, AtomicFile& file);
// Writes a view of the picture (Bitmap::viewOf) in the direct-colour `format`,
// converting it row by row on the way, without a converted copy of the whole
// picture. InvalidParameter for another format.
int writeBmp(const Bitmap& picture, PixelFormat format, AtomicFile& file);

} // namespace kamsulo::imaging
