// Writes the picture as a baseline JPEG file (libjpeg-turbo) with the given
// quality, 0 to 100 (the caller clamps it). At quality 1 the baseline tables
// already hold their largest entries, so 0 writes the same file as 1.
#pragma once

#include "imaging/AtomicFile.h"
#include "imaging/Bitmap.h"

namespace kamsulo::imaging {

// How the picture is coded: a large one in two bands at once, joined by a restart
// marker (the same pixels when decoded), or in one pass.
enum class JpegPasses { TwoBandsWhenLarge, One };

// Writes a view of the picture (Bitmap::viewOf). Returns a status: Ok,
// InvalidParameter (not a 32-bit view, or larger than 65500 pixels a side),
// GenericError (the encoder failed) or SystemError.
int writeJpeg(const Bitmap& bitmap, AtomicFile& file, int quality,
              JpegPasses passes = JpegPasses::TwoBandsWhenLarge);

} // namespace kamsulo::imaging
