#include "imaging/PixelConversion.h"

#include "imaging/ImagingStatus.h"
#include "imaging/StandardPalettes.h"

#include <cstring>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

namespace kamsulo::imaging {

namespace {

// A picture this large has its lower half mapped to palette indexes on a thread of its own.
constexpr std::size_t ParallelMappingPixels = std::size_t{1} << 15;

void convertRow16(const std::uint8_t* in, std::uint8_t* out, int width, bool green6) {
    for (int x = 0; x < width; ++x, in += 4, out += 2) {
        const unsigned b = in[0], g = in[1], r = in[2];
        const unsigned v = green6 ? ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
                                  : ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        out[0] = static_cast<std::uint8_t>(v);
        out[1] = static_cast<std::uint8_t>(v >> 8);
    }
}

void convertRow24(const std::uint8_t* in, std::uint8_t* out, int width) {
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

void convertRow32(const std::uint8_t* in, std::uint8_t* out, int width) {
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 255;
    }
}

void packIndex(std::uint8_t* row, int x, int bits, std::uint8_t index) {
    switch (bits) {
    case 1:
        row[x >> 3] |= static_cast<std::uint8_t>(index << (7 - (x & 7)));
        break;
    case 4:
        row[x >> 1] |= static_cast<std::uint8_t>(index << ((x & 1) ? 0 : 4));
        break;
    default:
        row[x] = index;
    }
}

// Remembers recently mapped colours; the mapping itself decides the result, the
// cache only saves repeating it.
class ColorCache {
public:
    static constexpr std::size_t Size = 1u << 16;
    ColorCache() : keys_(new std::uint32_t[Size]), values_(new std::uint8_t[Size]) {
        std::fill_n(keys_.get(), Size, 0xffffffffu);
    }
    template <class Map> std::uint8_t lookup(std::uint32_t key, Map&& map) {
        const std::size_t slot = (key * 2654435761u) >> 16;
        if (keys_[slot] != key) {
            keys_[slot] = key;
            values_[slot] = map();
        }
        return values_[slot];
    }

private:
    std::unique_ptr<std::uint32_t[]> keys_;
    std::unique_ptr<std::uint8_t[]> values_;
};

inline std::uint32_t colorKey(const std::uint8_t* p) {
    return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16);
}

bool isDirectColor(PixelFormat format) {
    switch (format) {
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565:
    case PixelFormat::Rgb24:
    case PixelFormat::Rgb32:
    case PixelFormat::Argb32:
        return true;
    default:
        return false;
    }
}

bool isFixedPalette(PixelFormat format) {
    return format == PixelFormat::Indexed1 || format == PixelFormat::Indexed4 ||
           format == PixelFormat::Indexed8;
}

void unsupported(const char* text) {
    qCWarning(lcImaging).noquote() << QString::fromUtf8(text);
}

} // namespace

void PixelConversion::convertRow(const std::uint8_t* pixels, std::uint8_t* out, int width,
                                 PixelFormat format) {
    if (format == PixelFormat::Rgb555 || format == PixelFormat::Rgb565)
        convertRow16(pixels, out, width, format == PixelFormat::Rgb565);
    else if (format == PixelFormat::Rgb24)
        convertRow24(pixels, out, width);
    else
        convertRow32(pixels, out, width);
}

int PixelConversion::toDirectColor(const Picture& picture, Bitmap& result, PixelFormat format) {
    result = Bitmap();
    if (!isDirectColor(format)) {
        unsupported("ConvertTo16_24_32bpp unterstützt dieses Format nicht.");
        return InvalidParameter;
    }
    if (picture.isNull()) return InvalidParameter;
    try {
        return convert(picture, result, format);
    } catch (const std::bad_alloc&) {
        result = Bitmap();
        return OutOfMemory;
    }
}

int PixelConversion::convert(const Picture& picture, Bitmap& result, PixelFormat format) {
    Bitmap out(picture.width(), picture.height(), format, Bitmap::Fill::Uninitialized);
    const int width = picture.width();
    const std::size_t used =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel(format) / 8);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* in = picture.scanLine(y);
        std::uint8_t* row = out.scanLine(y);
        convertRow(in, row, width, format);
        std::memset(row + used, 0, out.stride() - used); // the pad
    }
    result = std::move(out);
    return Ok;
}

int PixelConversion::toFixedPalette(const Picture& picture, Bitmap& result, PixelFormat format) {
    result = Bitmap();
    if (!isFixedPalette(format)) {
        unsupported("ConvertTo1_4_8bpp unterstützt dieses Format nicht.");
        return InvalidParameter;
    }
    if (picture.isNull()) return InvalidParameter;
    try {
        const StandardPalette palette(bitsPerPixel(format));
        Bitmap out(picture.width(), picture.height(), format);
        ColorCache cache;
        for (int y = 0; y < picture.height(); ++y) {
            const std::uint8_t* in = picture.scanLine(y);
            std::uint8_t* row = out.scanLine(y);
            for (int x = 0; x < picture.width(); ++x, in += 4) {
                const std::uint8_t index = cache.lookup(
                    colorKey(in), [&] { return palette.nearest(in[0], in[1], in[2]); });
                packIndex(row, x, palette.bits(), index);
            }
        }
        out.palette.entries = palette.entries();
        result = std::move(out);
        return Ok;
    } catch (const std::bad_alloc&) {
        result = Bitmap();
        return OutOfMemory;
    }
}

int PixelConversion::toGrayLevels(const Picture& picture, Bitmap& result) {
    result = Bitmap();
    if (picture.isNull()) return InvalidParameter;
    try {
        Bitmap out(picture.width(), picture.height(), PixelFormat::Indexed8);
        for (int y = 0; y < picture.height(); ++y) {
            const std::uint8_t* in = picture.scanLine(y);
            std::uint8_t* row = out.scanLine(y);
            for (int x = 0; x < picture.width(); ++x, in += 4)
                row[x] = grayLevel(in[0], in[1], in[2]);
        }
        out.palette.flags = PaletteGrayScale;
        out.palette.entries.resize(256);
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            out.palette.entries[static_cast<std::size_t>(i)] = PaletteEntry{v, v, v, 255};
        }
        result = std::move(out);
        return Ok;
    } catch (const std::bad_alloc&) {
        result = Bitmap();
        return OutOfMemory;
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
        out.palette.flags = PaletteHalftone;
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
