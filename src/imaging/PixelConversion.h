// Turns the picture into a bitmap of the pixel format a save asks for:
// 16-, 24- and 32-bit colour, 1-, 4- and 8-bit indexed with a fixed palette,
// 8-bit gray levels, and 8-bit indexed with an octree palette.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/modOcTree.h"

#include <QString>
#include <functional>

namespace kamsulo::imaging {

class PixelConversion {
public:
    // Receives the German message for a format value a conversion does not
    // support (the save dialog shows it in a message box; the default logs it).
    using MessageHandler = std::function<void(const QString&)>;

    explicit PixelConversion(MessageHandler onMessage = {});

    // Each returns a status (Ok, InvalidParameter, OutOfMemory) and, on Ok, the
    // new bitmap in `result`; on failure `result` is null.

    // type 5 = RGB 5-5-5, 6 = RGB 5-6-5, 7 = 24-bit RGB, 8 = 32-bit RGB, 9 = 32-bit ARGB
    // (alpha 255: the picture is opaque).
    int ConvertTo16_24_32bpp(const Picture& picture, Bitmap& result, int type);
    // type 0 = 1 bit, 1 = 4 bits, 2 = 8 bits, each with its fixed palette.
    int ConvertTo1_4_8bpp(const Picture& picture, Bitmap& result, int type);
    // 256 gray levels, gray = (150 G + 77 R + 28 B) div 255.
    int ConvertTo8bppGrayscale(const Picture& picture, Bitmap& result);
    // 8 bits with the octree palette of up to 256 colours; the palette has 256
    // entries, those beyond the last one in use all zero.
    int ConvertTo8bppOctree(const Picture& picture, Bitmap& result);

    // The tree of the last octree conversion.
    const modOcTree& octree() const { return octree_; }

    static std::uint8_t grayLevel(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        return static_cast<std::uint8_t>((150 * green + 77 * red + 28 * blue) / 255);
    }

private:
    int convert(const Picture& picture, Bitmap& result, int type);
    void message(const QString& text) const;

    MessageHandler onMessage_;
    modOcTree octree_;
};

} // namespace kamsulo::imaging
