// Turns the picture into what the encoders take beyond its own 32-bit rows: the
// 8-bit bitmap with the octree palette of a GIF, and 24-bit rows for a BMP.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/OctreeQuantizer.h"

namespace kamsulo::imaging {

class PixelConversion {
public:
    // 8 bits with the octree palette of up to 256 colours; the palette has 256
    // entries, those beyond the last one in use all zero. Returns a status (Ok,
    // InvalidParameter, OutOfMemory) and, on Ok, the new bitmap in `result`; on
    // failure `result` is null.
    int toOctreePalette(const Picture& picture, Bitmap& result);

    // The tree of the last octree conversion.
    const OctreeQuantizer& octree() const { return octree_; }

    // One row of the picture (`width` pixels of blue, green, red, unused) as
    // blue, green, red, without the row's pad.
    static void toRgb24Row(const std::uint8_t* pixels, std::uint8_t* out, int width);

private:
    OctreeQuantizer octree_;
};

} // namespace kamsulo::imaging
