// Turns the picture into a bitmap of the pixel format a save asks for:
// 16-, 24- and 32-bit colour, 1-, 4- and 8-bit indexed with a fixed palette,
// 8-bit gray levels, and 8-bit indexed with an octree palette.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/OctreeQuantizer.h"

namespace kamsulo::imaging {

class PixelConversion {
public:
    // Each returns a status (Ok, InvalidParameter, OutOfMemory) and, on Ok, the
    // new bitmap in `result`; on failure `result` is null. A format a conversion
    // does not make is logged with its German message and gives InvalidParameter.

    // Rgb555, Rgb565, Rgb24, Rgb32 or Argb32 (alpha 255: the picture is opaque).
    int toDirectColor(const Picture& picture, Bitmap& result, PixelFormat format);
    // Indexed1, Indexed4 or Indexed8, each with its fixed palette.
    int toFixedPalette(const Picture& picture, Bitmap& result, PixelFormat format);
    // 256 gray levels, gray = (150 G + 77 R + 28 B) div 255.
    int toGrayLevels(const Picture& picture, Bitmap& result);
    // 8 bits with the octree palette of up to 256 colours; the palette has 256
    // entries, those beyond the last one in use all zero.
    int toOctreePalette(const Picture& picture, Bitmap& result);

    // The tree of the last octree conversion.
    const OctreeQuantizer& octree() const { return octree_; }

    // One row of the picture (`width` pixels of blue, green, red, unused) in the
    // direct-colour `format`, without the row's pad.
    static void convertRow(const std::uint8_t* pixels, std::uint8_t* out, int width,
                           PixelFormat format);

    static std::uint8_t grayLevel(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        return static_cast<std::uint8_t>((150 * green + 77 * red + 28 * blue) / 255);
    }

private:
    int convert(const Picture& picture, Bitmap& result, PixelFormat format);

    OctreeQuantizer octree_;
};

} // namespace kamsulo::imaging
