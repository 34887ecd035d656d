#include "imaging/load/Truncation.h"

#include "imaging/load/JpegScans.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kamsulo::imaging {

namespace {

// Bitmaps: the file header, then the info header, the colour masks, the palette and
// the pixels, from the file header's offset on.
constexpr qsizetype FileHeaderBytes = 14;
constexpr qsizetype PixelsOffsetAt = 10;
constexpr std::uint32_t CoreHeaderBytes = 12; // 16-bit sizes, 3-byte palette entries
constexpr std::uint32_t InfoHeaderBytes = 40;
enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };
// The escapes of run-length data: a count of 0, then one of these (or a count of pixels
// that follow as they are).
enum RunEscape : uchar { EndOfLine = 0, EndOfBitmap = 1, Delta = 2 };

// GIF: blocks after the header, the screen and its palette.
constexpr qsizetype GifScreenEnd = 13;
constexpr uchar GifExtension = 0x21;
constexpr uchar GifPicture = 0x2c;
constexpr uchar GifTrailer = 0x3b;
constexpr qsizetype GifPictureHeaderBytes = 10; // the separator, position, size, flags
constexpr uchar GifPaletteFlag = 0x80;

std::uint32_t u32(QByteArrayView b, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(b.data()) + at;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t u16(QByteArrayView b, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(b.data()) + at;
    return std::uint16_t(p[0] | p[1] << 8);
}
uchar u8(QByteArrayView b, qsizetype at) {
    return uchar(b[at]);
}

// Whether the run-length data from `at` ends (at the end-of-bitmap escape, or by
// ending the last of `rows` lines) before the file does.
bool runsEnd(QByteArrayView file, qsizetype at, qint64 rows, bool fourBit) {
    qint64 row = 0;
    while (row < rows) {
        if (at + 2 > file.size()) return false;
        const uchar count = u8(file, at);
        const uchar value = u8(file, at + 1);
        at += 2;
        if (count > 0) continue; // a run of one value
        if (value == EndOfBitmap) return true;
        if (value == EndOfLine) {
            ++row;
        } else if (value == Delta) {
            if (at + 2 > file.size()) return false;
            row += u8(file, at + 1);
            at += 2;
        } else { // `value` pixels as they are, padded to whole words
            const qsizetype bytes = fourBit ? (value + 1) / 2 : value;
            at += (bytes + 1) / 2 * 2;
        }
    }
    return true;
}

bool bitmapCutShort(QByteArrayView file) {
    if (file.size() < FileHeaderBytes + 4) return true;
    const std::uint32_t headerBytes = u32(file, FileHeaderBytes);
    const qsizetype info = FileHeaderBytes + 4;
    const bool core = headerBytes == CoreHeaderBytes;
    if (!core && headerBytes < InfoHeaderBytes) return false; // left to the reader
    if (file.size() < FileHeaderBytes + qsizetype(headerBytes)) return true;
    const qint64 wide = core ? u16(file, info) : std::llabs(std::int32_t(u32(file, info)));
    const qint64 high = core ? u16(file, info + 2) : std::llabs(std::int32_t(u32(file, info + 4)));
    const int bits = core ? u16(file, info + 6) : u16(file, info + 10);
    const std::uint32_t compression = core ? Rgb : u32(file, info + 12);
    const std::uint32_t coloursUsed = core ? 0 : u32(file, info + 28);

    qint64 start = FileHeaderBytes + headerBytes;
    if (headerBytes == InfoHeaderBytes && compression == BitFields) start += 3 * 4;
    if (headerBytes == InfoHeaderBytes && compression == AlphaBitFields) start += 4 * 4;
    // A palette of at most 2^bits colours: a larger count is the reader's to judge.
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        start += qint64(coloursUsed ? std::min(coloursUsed, most) : most) * (core ? 3 : 4);
    }
    start = std::max<qint64>(start, u32(file, PixelsOffsetAt));

    switch (compression) {
    case Rgb:
    case BitFields:
    case AlphaBitFields:
        if (const qint64 stride = (wide * bits + 31) / 32 * 4; stride > 0)
            return start > file.size() || (file.size() - start) / stride < high;
        return false;
    case Rle8:
    case Rle4:
        return start >= file.size() || !runsEnd(file, start, high, compression == Rle4);
    }
    return false;
}

// Skips the sub-blocks from `at` up to their terminator; -1 when the file ends first.
qsizetype afterSubBlocks(QByteArrayView file, qsizetype at) {
    while (at < file.size()) {
        const uchar bytes = u8(file, at);
        if (bytes == 0) return at + 1;
        at += 1 + bytes;
    }
    return -1;
}

qsizetype afterPalette(qsizetype at, uchar flags) {
    return flags & GifPaletteFlag ? at + 3 * (qsizetype(2) << (flags & 7)) : at;
}

bool gifCutShort(QByteArrayView file) {
    if (file.size() < GifScreenEnd) return true;
    qsizetype at = afterPalette(GifScreenEnd, u8(file, GifScreenEnd - 3));
    while (at >= 0 && at < file.size()) {
        switch (u8(file, at)) {
        case GifExtension:
            at = afterSubBlocks(file, at + 2);
            break;
        case GifPicture:
            if (at + GifPictureHeaderBytes > file.size()) return true;
            // The palette, the code size, and the picture's data.
            at = afterPalette(at + GifPictureHeaderBytes, u8(file, at + 9));
            return afterSubBlocks(file, at + 1) < 0;
        case GifTrailer:
            return false;
        default:
            return false; // left to the reader
        }
    }
    return true;
}

} // namespace

bool cutShort(RasterFormat format, QByteArrayView file) {
    switch (format) {
    case RasterFormat::Jpeg:
        return !jpegScans(file).ended;
    case RasterFormat::Bitmap:
        return bitmapCutShort(file);
    case RasterFormat::Gif:
        return gifCutShort(file);
    case RasterFormat::Png:
    case RasterFormat::Tiff:
    case RasterFormat::Icon:
    case RasterFormat::Unlisted:
        break;
    }
    return false;
}

} // namespace kamsulo::imaging
