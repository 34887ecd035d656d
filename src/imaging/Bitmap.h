// Bitmaps on plain byte buffers, laid out as the encoders expect them: rows
// DWORD-aligned, top row first; 32-bit pixels are blue, green, red, unused;
// 8-bit pixels index the palette.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

namespace kamsulo::imaging {

// The pixel formats the save paths hand to the encoders; bits 8 to 15 hold the
// bits per pixel.
enum class PixelFormat : std::uint32_t {
    Indexed8 = 0x30803, // the GIF's octree palette
    Rgb32 = 0x22009,    // the picture's own rows
};

int bitsPerPixel(PixelFormat format);

// Bytes per row for a DWORD-aligned row of `width` pixels at `bits` per pixel.
inline std::size_t alignedStride(int width, int bits) {
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
}

struct PaletteEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t alpha = 0;
    bool operator==(const PaletteEntry&) const = default;
};

struct Palette {
    std::vector<PaletteEntry> entries;
};

class Picture;

class Bitmap {
public:
    enum class Fill { Zero, Uninitialized };

    Bitmap() = default;
    // A new bitmap, zero-filled unless the caller writes every byte itself
    // (pad bytes included); throws std::bad_alloc when it does not fit in memory.
    Bitmap(int width, int height, PixelFormat format, Fill fill = Fill::Zero);
    // The picture's own rows as a read-only 32-bit RGB bitmap, without a copy.
    static Bitmap viewOf(const Picture& picture);

    bool isNull() const { return width_ <= 0 || height_ <= 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    PixelFormat format() const { return format_; }
    std::size_t stride() const { return stride_; }
    // Not for a view.
    std::uint8_t* scanLine(int y) { return bits_.get() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* scanLine(int y) const {
        return data() + static_cast<std::size_t>(y) * stride_;
    }
    const std::uint8_t* data() const { return view_ ? view_ : bits_.get(); }

    Palette palette;

private:
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Rgb32;
    std::size_t stride_ = 0;
    std::unique_ptr<std::uint8_t[]> bits_;
    const std::uint8_t* view_ = nullptr;
    QImage viewed_; // keeps the viewed rows alive
};

// The picture to be saved, seen as an opaque 32-bit bitmap (blue, green, red,
// unused per pixel), the way the canvas holds it. Alpha in the source is ignored.
// Keeps its own reference to the image data; no copy when the image is already
// 32-bit.
class Picture {
public:
    Picture() = default;
    explicit Picture(const QImage& image);

    bool isNull() const { return image_.isNull() || image_.width() <= 0 || image_.height() <= 0; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    const std::uint8_t* scanLine(int y) const { return image_.constScanLine(y); }

    // Blue, green, red of the pixel at (x, y).
    const std::uint8_t* pixel(int x, int y) const { return scanLine(y) + 4 * x; }
    std::size_t stride() const { return static_cast<std::size_t>(image_.bytesPerLine()); }
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

} // namespace kamsulo::imaging
