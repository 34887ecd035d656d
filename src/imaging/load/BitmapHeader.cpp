#include "imaging/load/BitmapHeader.h"

#include <algorithm>
#include <cstdlib>

namespace kamsulo::imaging {

namespace {

constexpr qsizetype FileHeaderBytes = 14;
constexpr qsizetype RowsOffsetAt = 10;
// Info headers of this size and more hold the colour masks, from the alpha's on also it.
constexpr std::uint32_t ColourMasksInside = 52;
constexpr std::uint32_t AlphaMaskInside = 56;

std::uint32_t u32(QByteArrayView b, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(b.data()) + at;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t u16(QByteArrayView b, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(b.data()) + at;
    return std::uint16_t(p[0] | p[1] << 8);
}

// The masks from `at` on, as many as the file holds of `count`.
void readMasks(QByteArrayView file, qsizetype at, int count, BitmapHeader& header) {
    for (int mask = 0; mask < count && at + 4 <= file.size(); ++mask, at += 4)
        header.masks[std::size_t(mask)] = u32(file, at);
}

} // namespace

std::optional<BitmapHeader> readBitmapHeader(QByteArrayView file) {
    if (file.size() < FileHeaderBytes + 4) return std::nullopt;
    BitmapHeader header;
    header.headerBytes = u32(file, FileHeaderBytes);
    const qsizetype info = FileHeaderBytes + 4;
    const bool core = header.headerBytes == CoreHeaderBytes;
    if (!core && header.headerBytes < InfoHeaderBytes) return std::nullopt;
    if (file.size() < FileHeaderBytes + qsizetype(header.headerBytes)) return std::nullopt;
    if (core) {
        header.width = u16(file, info);
        header.height = u16(file, info + 2);
        header.bits = u16(file, info + 6);
    } else {
        const auto height = std::int32_t(u32(file, info + 4));
        header.width = std::llabs(std::int32_t(u32(file, info)));
        header.height = std::llabs(height);
        header.topDown = height < 0;
        header.bits = u16(file, info + 10);
        header.compression = BitmapCompression(u32(file, info + 12));
    }
    const std::uint32_t coloursUsed = core ? 0 : u32(file, info + 28);

    qint64 start = FileHeaderBytes + header.headerBytes;
    if (header.headerBytes >= ColourMasksInside)
        readMasks(file, FileHeaderBytes + InfoHeaderBytes,
                  header.headerBytes >= AlphaMaskInside ? AlphaMask + 1 : AlphaMask, header);
    if (header.headerBytes == InfoHeaderBytes) {
        const int count = header.compression == BitmapCompression::BitFields        ? AlphaMask
                          : header.compression == BitmapCompression::AlphaBitFields ? MaskCount
                                                                                    : 0;
        readMasks(file, start, count, header);
        start += count * 4;
    }
    // A palette of at most 2^bits colours: a larger count is the reader's to judge.
    if (header.bits <= 8) {
        const std::uint32_t most = 1u << header.bits;
        start += qint64(coloursUsed ? std::min(coloursUsed, most) : most) * (core ? 3 : 4);
    }
    header.rowsAt = std::max<qint64>(start, u32(file, RowsOffsetAt));
    return header;
}

} // namespace kamsulo::imaging
