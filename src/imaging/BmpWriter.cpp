#include "imaging/BmpWriter.h"

#include "imaging/ImagingStatus.h"

#include "imaging/PixelConversion.h"

#include <cstdint>
#include <new>
#include <vector>

namespace kamsulo::imaging {

namespace {

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t V4HeaderSize = 108;
constexpr std::int32_t PixelsPerMeter = 3780; // 96 dpi
constexpr std::uint32_t SrgbSpace = 0x73524742;

// The file header, the info header, the masks and the colour table of a BMP
// file of `stride` bytes per row; false when it would be too large.
bool writeHeaders(AtomicFile& file, PixelFormat format, int width, int height, std::size_t stride,
                  const std::vector<PaletteEntry>& palette) {
    const bool alpha = format == PixelFormat::Argb32;
    const bool masks565 = format == PixelFormat::Rgb565;
    const std::uint32_t headerSize = alpha ? V4HeaderSize : InfoHeaderSize;
    const std::uint32_t colors = isIndexed(format) ? static_cast<std::uint32_t>(palette.size()) : 0;
    const std::uint64_t imageSize =
        static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height);
    const std::uint32_t offBits = 14 + headerSize + (masks565 ? 12 : 0) + 4 * colors;
    const std::uint64_t fileSize = offBits + imageSize;
    if (fileSize > 0xffffffffu) return false;

    file.write("BM", 2);
    file.writeU32(static_cast<std::uint32_t>(fileSize));
    file.writeU32(0);
    file.writeU32(offBits);

    file.writeU32(headerSize);
    file.writeU32(static_cast<std::uint32_t>(width));
    file.writeU32(static_cast<std::uint32_t>(height)); // positive: bottom row first
    file.writeU16(1);
    file.writeU16(static_cast<std::uint16_t>(bitsPerPixel(format)));
    file.writeU32(alpha || masks565 ? BiBitfields : BiRgb);
    file.writeU32(static_cast<std::uint32_t>(imageSize));
    file.writeU32(PixelsPerMeter);
    file.writeU32(PixelsPerMeter);
    file.writeU32(colors);
    file.writeU32(0);
    if (alpha) {
        file.writeU32(0x00ff0000);
        file.writeU32(0x0000ff00);
        file.writeU32(0x000000ff);
        file.writeU32(0xff000000);
        file.writeU32(SrgbSpace);
        const std::uint8_t unused[36 + 12] = {};
        file.write(unused, sizeof unused);
    }
    if (masks565) {
        file.writeU32(0xf800);
        file.writeU32(0x07e0);
        file.writeU32(0x001f);
    }
    if (colors > 0)
        for (const PaletteEntry& e : palette) {
            const std::uint8_t quad[4] = {e.blue, e.green, e.red, 0};
            file.write(quad, 4);
        }
    return true;
}

} // namespace

int writeBmp(const Bitmap& bitmap, AtomicFile& file) {
    if (bitmap.isNull()) return InvalidParameter;
    if (!writeHeaders(file, bitmap.format(), bitmap.width(), bitmap.height(), bitmap.stride(),
                      bitmap.palette.entries))
        return ValueOverflow;
    for (int y = bitmap.height() - 1; y >= 0; --y)
        file.write(bitmap.scanLine(y), bitmap.stride());
    return file.failed() ? SystemError : Ok;
}

int writeBmp(const Bitmap& picture, PixelFormat format, AtomicFile& file) {
    if (picture.isNull() || picture.format() != PixelFormat::Rgb32 || isIndexed(format))
        return InvalidParameter;
    const std::size_t stride = alignedStride(picture.width(), bitsPerPixel(format));
    if (!writeHeaders(file, format, picture.width(), picture.height(), stride, {}))
        return ValueOverflow;
    try {
        // The pad stays zero; each conversion writes the pixels' bytes only.
        std::vector<std::uint8_t> row(stride + 1);
        for (int y = picture.height() - 1; y >= 0 && !file.failed(); --y) {
            PixelConversion::convertRow(picture.scanLine(y), row.data(), picture.width(), format);
            file.write(row.data(), stride);
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return file.failed() ? SystemError : Ok;
}

} // namespace kamsulo::imaging
