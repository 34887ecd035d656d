// Writes a bitmap as a PNG file, compressed with libdeflate.
//   1-, 4-, 8-bit indexed: palette image of that depth with the bitmap's palette;
//     an 8-bit bitmap with the gray-level palette is written as an 8-bit gray image.
//   16 bits: expanded to 8 bits per channel; 24 and 32 bits RGB: RGB;
//   32 bits ARGB: RGBA.
// Colour rows get the filter whose bytes are the most concentrated on few values
// (the least entropy); indexed rows are not filtered.
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

struct PngOptions {
    int level = 6; // libdeflate level 1..12
};

// Returns a status: Ok, OutOfMemory, ValueOverflow or SystemError.
int writePng(const Bitmap& bitmap, AtomicFile& file, const PngOptions& options = {});

} // namespace kamsulo::imaging
