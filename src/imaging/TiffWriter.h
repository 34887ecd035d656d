// Writes a bitmap as a TIFF file (libtiff) with one of the compressions of the
// save interface: 2 LZW, 3 CCITT group 3, 4 CCITT group 4, 5 CCITT RLE, 6 none.
// 1-bit bitmaps become bilevel images (0 black), 4- and 8-bit ones palette
// images, 24-bit ones RGB and 32-bit ones RGB with an alpha sample.
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

enum TiffCompression : int {
    TiffLzw = 2,
    TiffCcittGroup3 = 3,
    TiffCcittGroup4 = 4,
    TiffCcittRle = 5,
    TiffNone = 6,
};

// Returns a status: Ok, InvalidParameter (a compression outside 2..6, or a CCITT
// compression for a bitmap that is not 1-bit), GenericError or Win32Error.
int WriteTiff(const Bitmap& bitmap, AtomicFile& file, int compression);

} // namespace kamsulo::imaging
