#include "imaging/BmpWriter.h"

#include "imaging/ImagingStatus.h"
#include "imaging/PixelConversion.h"

#include <cstdint>
#include <new>
#include <vector>

namespace kamsulo::imaging {

namespace {

constexpr int BitsPerPixel = 24;
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::int32_t PixelsPerMeter = 3780; // 96 dpi

// The file header and the info header of a file of `stride` bytes per row; false
// when it would be too large.
bool writeHeaders(AtomicFile& file, int width, int height, std::size_t stride) {
    const std::uint64_t imageSize =
        static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height);
    const std::uint32_t offBits = FileHeaderSize + InfoHeaderSize;
    const std::uint64_t fileSize = offBits + imageSize;
    if (fileSize > 0xffffffffu) return false;

    file.write("BM", 2);
    file.writeU32(static_cast<std::uint32_t>(fileSize));
    file.writeU32(0);
    file.writeU32(offBits);

    file.writeU32(InfoHeaderSize);
    file.writeU32(static_cast<std::uint32_t>(width));
    file.writeU32(static_cast<std::uint32_t>(height)); // positive: bottom row first
    file.writeU16(1);
    file.writeU16(BitsPerPixel);
    file.writeU32(BiRgb);
    file.writeU32(static_cast<std::uint32_t>(imageSize));
    file.writeU32(PixelsPerMeter);
    file.writeU32(PixelsPerMeter);
    file.writeU32(0); // no colour table
    file.writeU32(0);
    return true;
}

} // namespace

int writeBmp(const Bitmap& picture, AtomicFile& file) {
    if (picture.isNull() || picture.format() != PixelFormat::Rgb32) return InvalidParameter;
    const std::size_t stride = alignedStride(picture.width(), BitsPerPixel);
    if (!writeHeaders(file, picture.width(), picture.height(), stride)) return ValueOverflow;
    try {
        // The pad stays zero; each conversion writes the pixels' bytes only.
        std::vector<std::uint8_t> row(stride);
        for (int y = picture.height() - 1; y >= 0 && !file.failed(); --y) {
            PixelConversion::toRgb24Row(picture.scanLine(y), row.data(), picture.width());
            file.write(row.data(), stride);
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return file.failed() ? SystemError : Ok;
}

} // namespace kamsulo::imaging
