// What precedes a bitmap's rows: the file header, the info header, the colour masks and
// the palette, as far as the loader reads them itself.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <optional>

namespace kamsulo::imaging {

enum class BitmapCompression : std::uint32_t {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
    AlphaBitFields = 6,
};

enum BitmapMask { RedMask, GreenMask, BlueMask, AlphaMask, MaskCount };

inline constexpr std::uint32_t CoreHeaderBytes = 12; // 16-bit sizes, 3-byte palette entries
inline constexpr std::uint32_t InfoHeaderBytes = 40;

struct BitmapHeader {
    std::uint32_t headerBytes = 0; // the info header's
    qint64 width = 0;
    qint64 height = 0; // rows, whichever way they are stored
    bool topDown = false;
    int bits = 0;
    BitmapCompression compression = BitmapCompression::Rgb;
    // Where the header or the words after it hold them (and the file has them), else 0.
    std::array<std::uint32_t, MaskCount> masks{};
    // After the header, the masks and the palette, or at the file header's offset of the
    // pixels when that is further on.
    qint64 rowsAt = 0;

    // The bytes of an uncompressed row.
    qint64 stride() const { return (width * bits + 31) / 32 * 4; }
};

// None when the file ends inside the info header, or when that is of no size a
// bitmap's header has.
std::optional<BitmapHeader> readBitmapHeader(QByteArrayView file);

} // namespace kamsulo::imaging
