// Writes a bitmap as a TIFF file (libtiff) with one of the compressions of the
// save interface: 2 LZW, 3 CCITT group 3, 4 CCITT group 4, 5 CCITT RLE, 6 none.
// 1-bit bitmaps become bilevel images (0 black), 4- and 8-bit ones palette
// images, 24-bit ones RGB and 32-bit ones RGB with an alpha sample.
// A CCITT file is read back with libtiff after writing; where libtiff's reader
// takes it wrongly (it does for some RLE and group 3 strips of its own writer),
// the file is written again uncompressed, so that it shows the right pixels.
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

enum class TiffCompression : int {
    Lzw = 2,
    CcittGroup3 = 3,
    CcittGroup4 = 4,
    CcittRle = 5,
    None = 6,
};

// True for the values listed above.
inline bool isKnown(TiffCompression c) {
    return c >= TiffCompression::Lzw && c <= TiffCompression::None;
}
// True for the three CCITT compressions, which hold 1-bit images only.
inline bool isCcitt(TiffCompression c) {
    return c >= TiffCompression::CcittGroup3 && c <= TiffCompression::CcittRle;
}

// Returns a status: Ok, InvalidParameter (an unknown compression, or a CCITT
// compression for a bitmap that is not 1-bit), GenericError or SystemError.
int writeTiff(const Bitmap& bitmap, AtomicFile& file, TiffCompression compression);

} // namespace kamsulo::imaging
