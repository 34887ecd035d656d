#include "imaging/BmpWriter.h"

#include "imaging/ImagingStatus.h"

#include <cstdint>

namespace kamsulo::imaging {

namespace {

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t V4HeaderSize = 108;
constexpr std::int32_t PixelsPerMeter = 3780; // 96 dpi
constexpr std::uint32_t SrgbSpace = 0x73524742;

} // namespace

int writeBmp(const Bitmap& bitmap, AtomicFile& file) {
    if (bitmap.isNull()) return InvalidParameter;
    const PixelFormat format = bitmap.format();
    const bool alpha = format == PixelFormat::Argb32;
    const bool masks565 = format == PixelFormat::Rgb565;
    const std::uint32_t headerSize = alpha ? V4HeaderSize : InfoHeaderSize;
    const std::uint32_t colors =
        isIndexed(format) ? static_cast<std::uint32_t>(bitmap.palette.entries.size()) : 0;
    const std::uint64_t imageSize =
        static_cast<std::uint64_t>(bitmap.stride()) * static_cast<std::uint64_t>(bitmap.height());
    const std::uint32_t offBits = 14 + headerSize + (masks565 ? 12 : 0) + 4 * colors;
    const std::uint64_t fileSize = offBits + imageSize;
    if (fileSize > 0xffffffffu) return ValueOverflow;

    file.write("BM", 2);
    file.writeU32(static_cast<std::uint32_t>(fileSize));
    file.writeU32(0);
    file.writeU32(offBits);

    file.writeU32(headerSize);
    file.writeU32(static_cast<std::uint32_t>(bitmap.width()));
    file.writeU32(static_cast<std::uint32_t>(bitmap.height())); // positive: bottom row first
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
    for (const PaletteEntry& e : bitmap.palette.entries) {
        const std::uint8_t quad[4] = {e.blue, e.green, e.red, 0};
        file.write(quad, 4);
    }
    for (int y = bitmap.height() - 1; y >= 0; --y)
        file.write(bitmap.scanLine(y), bitmap.stride());
    return file.failed() ? SystemError : Ok;
}

} // namespace kamsulo::imaging
