#include "imaging/load/Truncation.h"

#include "imaging/load/BitmapHeader.h"
#include "imaging/load/JpegScans.h"
#include "imaging/load/PngChunks.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kamsulo::imaging {

namespace {

constexpr qsizetype FileHeaderBytes = 14; // a bitmap's, before its info header
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
    const std::optional<BitmapHeader> header = readBitmapHeader(file);
    // A header of no size the reader knows is left to it; one the file cuts off is not.
    if (!header) return file.size() < FileHeaderBytes + qsizetype(u32(file, FileHeaderBytes));
    const qint64 start = header->rowsAt, high = header->height;
    switch (header->compression) {
    case BitmapCompression::Rgb:
    case BitmapCompression::BitFields:
    case BitmapCompression::AlphaBitFields:
        if (const qint64 stride = header->stride(); stride > 0)
            return start > file.size() || (file.size() - start) / stride < high;
        return false;
    case BitmapCompression::Rle8:
    case BitmapCompression::Rle4:
        return start >= file.size() ||
               !runsEnd(file, start, high, header->compression == BitmapCompression::Rle4);
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

// libpng may ask for a chunk's memory before it reads the chunk: a length beyond the
// file's end costs what it claims, up to the decoder's memory limit, for a tiny file.
bool pngCutShort(QByteArrayView file) {
    PngChunks chunks(file);
    while (const std::optional<PngChunk> chunk = chunks.next())
        if (chunk->is("IEND")) return false;
    return !chunks.atEnd();
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
        return pngCutShort(file);
    case RasterFormat::Tiff:
    case RasterFormat::Icon:
    case RasterFormat::Unlisted:
        break;
    }
    return false;
}

} // namespace kamsulo::imaging
