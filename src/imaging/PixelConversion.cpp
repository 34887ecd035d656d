#include "imaging/PixelConversion.h"

#include "imaging/ImagingStatus.h"

#include <cstring>
#include <new>
#include <system_error>
#include <thread>

namespace kamsulo::imaging {

namespace {

// A picture this large has its lower half mapped to palette indexes on a thread of its own.
constexpr std::size_t ParallelMappingPixels = std::size_t{1} << 15;

} // namespace

void PixelConversion::toRgb24Row(const std::uint8_t* in, std::uint8_t* out, int width) {
    // Four bytes at a time; the fourth is overwritten by the next pixel.
    int x = 0;
    for (; x + 1 < width; ++x, in += 4, out += 3)
        std::memcpy(out, in, 4);
    if (x < width) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

int PixelConversion::toOctreePalette(const Picture& picture, Bitmap& result) {
    result = Bitmap();
    if (picture.isNull()) return InvalidParameter;
    try {
        // The tree reads the picture's 32-bit rows; their colours are the 24-bit
        // conversion's, in the same order.
        const int width = picture.width();
        const int height = picture.height();
        octree_.buildFrom32(picture.scanLine(0), picture.stride(), width, height, 256, 8);

        Bitmap out(width, height, PixelFormat::Indexed8, Bitmap::Fill::Uninitialized);
        const auto mapRows = [&](int from, int to) {
            for (int y = from; y < to; ++y) {
                std::uint8_t* row = out.scanLine(y);
                octree_.mapRow(picture.scanLine(y), 4, width, row);
                std::memset(row + width, 0, out.stride() - static_cast<std::size_t>(width));
            }
        };
        const int half =
            std::size_t(width) * std::size_t(height) >= ParallelMappingPixels ? height / 2 : height;
        std::thread lower;
        try {
            if (half < height) lower = std::thread(mapRows, half, height);
        } catch (const std::system_error&) {
            mapRows(half, height); // no thread to be had
        }
        mapRows(0, half);
        if (lower.joinable()) lower.join();
        out.palette.entries.assign(256, PaletteEntry{});
        for (int i = 0; i <= octree_.lastPaletteIndex() && i < 256; ++i) {
            PaletteEntry& e = out.palette.entries[static_cast<std::size_t>(i)];
            octree_.paletteColor(i, e.blue, e.green, e.red);
            e.alpha = 255;
        }
        result = std::move(out);
        return Ok;
    } catch (const std::bad_alloc&) {
        result = Bitmap();
        return OutOfMemory;
    }
}

} // namespace kamsulo::imaging
