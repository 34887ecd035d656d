#include "imaging/load/MaskedBitmap.h"

#include "imaging/ImagingStatus.h"
#include "imaging/load/BitmapHeader.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace kamsulo::imaging {

namespace {

// The Windows info headers, and the version 2 to 5 ones after it.
constexpr std::array<std::uint32_t, 5> InfoHeaders = {40, 52, 56, 108, 124};
// A 16-bit pixel without masks: five bits each of red, green and blue.
constexpr std::array<std::uint32_t, MaskCount> Masks555 = {0x7c00, 0x03e0, 0x001f, 0};

bool masked(const BitmapHeader& header) {
    return header.compression == BitmapCompression::BitFields ||
           header.compression == BitmapCompression::AlphaBitFields;
}

bool ours(const BitmapHeader& header) {
    if (std::find(InfoHeaders.begin(), InfoHeaders.end(), header.headerBytes) == InfoHeaders.end())
        return false;
    if (header.bits == 16) return masked(header) || header.compression == BitmapCompression::Rgb;
    return header.bits == 32 && masked(header);
}

// Red, green and blue each one run of bits, the alpha one or none, no two sharing a bit,
// all within the pixel.
bool honoured(const std::array<std::uint32_t, MaskCount>& masks, int bits) {
    const std::uint64_t pixel = (std::uint64_t(1) << bits) - 1;
    std::uint32_t taken = 0;
    for (int which = RedMask; which < MaskCount; ++which) {
        const std::uint32_t mask = masks[std::size_t(which)];
        if (mask == 0) {
            if (which == AlphaMask) continue;
            return false;
        }
        const std::uint32_t run = mask >> std::countr_zero(mask);
        if ((run & (run + 1u)) != 0 || mask > pixel || (mask & taken) != 0) return false;
        taken |= mask;
    }
    return true;
}

// One channel's bits of a pixel, as eight.
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), width_(std::popcount(mask)) {
        if (width_ > 8 || width_ == 0) return;
        for (std::uint32_t value = 0; value < 1u << width_; ++value) {
            // The value, then its high bits again, as often as eight bits take.
            std::uint32_t repeated = 0;
            int filled = 0;
            for (; filled < 8; filled += width_)
                repeated = repeated << width_ | value;
            widened_[value] = uchar(repeated >> (filled - 8));
        }
    }

    uchar operator()(std::uint32_t pixel) const {
        const std::uint32_t value = (pixel & mask_) >> shift_;
        return width_ > 8 ? uchar(value >> (width_ - 8)) : widened_[value];
    }

private:
    std::uint32_t mask_;
    int shift_;
    int width_;
    std::array<uchar, 256> widened_{};
};

} // namespace

std::optional<DecodeResult> decodeMaskedBitmap(QByteArrayView file, QSize size,
                                               const PictureMemory& memory) {
    const std::optional<BitmapHeader> header = readBitmapHeader(file);
    // The size is the one the loader's limits were held against.
    if (!header || !ours(*header) || header->width != size.width() ||
        header->height != size.height() || size.isEmpty())
        return std::nullopt;
    const auto& masks = masked(*header) ? header->masks : Masks555;
    if (!honoured(masks, header->bits)) return DecodeResult::failed(UnknownImageFormat);
    const qint64 stride = header->stride(), rows = header->height;
    if (header->rowsAt > file.size() || (file.size() - header->rowsAt) / stride < rows)
        return DecodeResult::failed(UnknownImageFormat);

    const bool alpha = masks[AlphaMask] != 0;
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    QImage picture = memory ? memory(size, format) : QImage();
    if (picture.isNull() || picture.size() != size || picture.format() != format)
        picture = QImage(size, format);
    if (picture.isNull()) return DecodeResult::failed(OutOfMemory);

    const Channel red(masks[RedMask]), green(masks[GreenMask]), blue(masks[BlueMask]),
        opacity(masks[AlphaMask]);
    const int bytes = header->bits / 8;
    const auto* data = reinterpret_cast<const uchar*>(file.data()) + header->rowsAt;
    for (qint64 row = 0; row < rows; ++row) {
        const uchar* in = data + row * stride;
        auto* out =
            reinterpret_cast<QRgb*>(picture.scanLine(int(header->topDown ? row : rows - 1 - row)));
        for (int x = 0; x < size.width(); ++x, in += bytes) {
            std::uint32_t pixel = std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8;
            if (bytes == 4) pixel |= std::uint32_t(in[2]) << 16 | std::uint32_t(in[3]) << 24;
            out[x] = qRgba(red(pixel), green(pixel), blue(pixel), alpha ? opacity(pixel) : 0xff);
        }
    }
    return DecodeResult{picture, Ok};
}

} // namespace kamsulo::imaging
