#include "imaging/load/MetafileHeader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace kamsulo::imaging {

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::uint16_t PlaceableHeaderBytes = 22;
constexpr std::uint32_t EmrHeader = 1;
constexpr std::uint32_t EmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t EmfSignatureOffset = 40;
constexpr std::uint32_t EmfBaseHeaderBytes = 88;
constexpr std::uint32_t EmfMicrometresOffset = 100; // header extension 2
constexpr std::uint32_t EmfExtendedHeaderBytes = 108;
constexpr std::uint16_t WmfHeaderWords = 9;
constexpr double HundredthsOfMmPerInch = 2540.0;

std::uint32_t u32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t u16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::int32_t i32(const QByteArray& b, qsizetype at) {
    return static_cast<std::int32_t>(u32(b, at));
}
std::int16_t i16(const QByteArray& b, qsizetype at) {
    return static_cast<std::int16_t>(u16(b, at));
}

QRect rect32(const QByteArray& b, qsizetype at) {
    return QRect(QPoint(i32(b, at), i32(b, at + 4)), QPoint(i32(b, at + 8), i32(b, at + 12)));
}

int clampedPixels(double pixels) {
    if (!(pixels >= 0.0)) return 0;
    return pixels >= double(INT_MAX) ? INT_MAX : static_cast<int>(std::lround(pixels));
}

} // namespace

PictureKind pictureKind(const QByteArray& head) {
    if (head.size() >= 4 && u32(head, 0) == PlaceableKey) return PictureKind::PlaceableWmf;
    if (head.size() >= qsizetype(EmfSignatureOffset + 4) && u32(head, 0) == EmrHeader &&
        u32(head, EmfSignatureOffset) == EmfSignature)
        return PictureKind::Emf;
    // The plain header: type 1 (memory) or 2 (disk), its size in words, version.
    if (head.size() >= 6 && (u16(head, 0) == 1 || u16(head, 0) == 2) &&
        u16(head, 2) == WmfHeaderWords && (u16(head, 4) == 0x100 || u16(head, 4) == 0x300))
        return PictureKind::PlainWmf;
    return PictureKind::Raster;
}

std::optional<PlaceableWmfHeader> readPlaceableWmfHeader(const QByteArray& head) {
    if (head.size() < PlaceableHeaderBytes || u32(head, 0) != PlaceableKey) return std::nullopt;
    std::uint16_t checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= u16(head, 2 * i);
    if (checksum != u16(head, 20)) return std::nullopt;
    PlaceableWmfHeader header;
    header.box = QRect(QPoint(i16(head, 6), i16(head, 8)), QPoint(i16(head, 10), i16(head, 12)));
    header.unitsPerInch = u16(head, 14);
    return header;
}

std::optional<EmfHeader> readEmfHeader(const QByteArray& head) {
    if (pictureKind(head) != PictureKind::Emf || head.size() < qsizetype(EmfBaseHeaderBytes))
        return std::nullopt;
    const std::uint32_t headerBytes = u32(head, 4);
    if (headerBytes < EmfBaseHeaderBytes) return std::nullopt;
    EmfHeader header;
    header.bounds = rect32(head, 8);
    header.frame = rect32(head, 24);
    header.device = QSize(i32(head, 72), i32(head, 76));
    header.deviceMillimetres = QSizeF(i32(head, 80), i32(head, 84));
    // The micrometre size, where present, is the exact one.
    if (headerBytes >= EmfExtendedHeaderBytes && head.size() >= qsizetype(EmfExtendedHeaderBytes)) {
        const double wide = i32(head, EmfMicrometresOffset);
        const double high = i32(head, EmfMicrometresOffset + 4);
        if (wide > 0 && high > 0) header.deviceMillimetres = QSizeF(wide / 1000.0, high / 1000.0);
    }
    return header;
}

QSize pixelSize(const PlaceableWmfHeader& header) {
    if (header.unitsPerInch <= 0) return {};
    // The box's right and bottom edges lie outside the picture.
    const double wide = double(header.box.right()) - header.box.left();
    const double high = double(header.box.bottom()) - header.box.top();
    return QSize(clampedPixels(wide * MetafileDpi / header.unitsPerInch),
                 clampedPixels(high * MetafileDpi / header.unitsPerInch));
}

QSize pixelSize(const EmfHeader& header) {
    // The frame includes its right and bottom edges.
    const double wide = double(header.frame.right()) - header.frame.left() + 1;
    const double high = double(header.frame.bottom()) - header.frame.top() + 1;
    return QSize(clampedPixels(wide * MetafileDpi / HundredthsOfMmPerInch),
                 clampedPixels(high * MetafileDpi / HundredthsOfMmPerInch));
}

} // namespace kamsulo::imaging
