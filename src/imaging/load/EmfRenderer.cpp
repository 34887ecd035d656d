#include "imaging/load/EmfRenderer.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <emf2svg.h>
#include <memory>

namespace kamsulo::imaging {

namespace {

constexpr double HundredthsPerMillimetre = 100.0;
constexpr std::uint32_t EmrEof = 14;
constexpr qint64 RecordHeaderBytes = 8; // type, size
constexpr std::uint32_t CoreHeaderBytes = 12;
// The records that carry bitmaps, and where in each are the offsets (from the record's
// start) of their bitmap headers: the source's, and the mask's where there is one.
struct BitmapRecord {
    std::uint32_t type;
    qint64 headerOffsetsAt[2];
};
constexpr BitmapRecord BitmapRecords[] = {
    {76, {84, 0}},   // BitBlt
    {77, {84, 0}},   // StretchBlt
    {78, {84, 112}}, // MaskBlt
    {79, {96, 124}}, // PlgBlt
    {80, {48, 0}},   // SetDIBitsToDevice
    {81, {48, 0}},   // StretchDIBits
    {93, {16, 0}},   // CreateMonoBrush
    {94, {16, 0}},   // CreateDIBPatternBrushPt
    {114, {84, 0}},  // AlphaBlend
    {116, {84, 0}},  // TransparentBlt
};
// Measured: libemf2svg takes up to 30 times the bytes of the drawing records while it
// writes the SVG, QSvgRenderer's tree up to 10 times the SVG's text, and each bitmap
// 4 bytes a pixel in the tree (10 while libemf2svg turns it into a PNG). Each is held
// to a share of the limit: the bitmaps to a quarter, the drawing records to 1/32 and
// the SVG to 1/16 (64 MB, 8 MB and 16 MB of the default 256 MB).
constexpr qint64 BytesPerPixel = 4;
constexpr qint64 BitmapShare = 4;
constexpr qint64 DrawingShare = 32;
constexpr qint64 SvgShare = 16;
// Sums stop growing here, far beyond any limit, so that they cannot overflow.
constexpr qint64 Saturated = qint64(1) << 50;

std::uint32_t u32(const QByteArray& b, qint64 at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// The pixels a bitmap header at `at` claims (0 when it does not fit before `end`).
qint64 bitmapPixels(const QByteArray& file, qint64 at, qint64 end) {
    if (at + qint64(CoreHeaderBytes) > end) return 0;
    if (u32(file, at) == CoreHeaderBytes)
        return qint64(u32(file, at + 4) & 0xffff) * (u32(file, at + 4) >> 16);
    const qint64 wide = std::llabs(std::int32_t(u32(file, at + 4)));
    const qint64 high = std::llabs(std::int32_t(u32(file, at + 8)));
    return std::min(wide * high, Saturated);
}

// What the records of a metafile cost to draw: libemf2svg writes every bitmap they
// carry into the SVG as a PNG, and QSvgRenderer holds all of them decoded at once; the
// other records grow into SVG text and the renderer's tree of it.
struct EmfContents {
    qint64 bitmapPixels = 0; // all bitmaps' pixels by their headers, however few bytes follow
    qint64 drawingBytes = 0; // the bytes of the records that carry no bitmap
};

EmfContents emfContents(const QByteArray& file) {
    EmfContents contents;
    qint64 at = 0;
    while (at + RecordHeaderBytes <= file.size()) {
        const std::uint32_t type = u32(file, at);
        const qint64 bytes = u32(file, at + 4);
        if (bytes < RecordHeaderBytes) break;
        const qint64 end = std::min<qint64>(at + bytes, file.size());
        const auto carrier = std::find_if(std::begin(BitmapRecords), std::end(BitmapRecords),
                                          [&](const BitmapRecord& r) { return r.type == type; });
        if (carrier == std::end(BitmapRecords)) {
            contents.drawingBytes += end - at;
        } else {
            for (const qint64 offsetAt : carrier->headerOffsetsAt) {
                if (offsetAt == 0 || at + offsetAt + 4 > end) continue;
                const qint64 pixels = bitmapPixels(file, at + u32(file, at + offsetAt), end);
                contents.bitmapPixels = std::min(contents.bitmapPixels + pixels, Saturated);
            }
        }
        if (type == EmrEof) break;
        at += bytes;
    }
    return contents;
}

// The copy the converter gets is made safe and complete for it:
// - It trusts the header's description and pixel format: it reads a description of
//   length 0 up to a terminator, wherever its offset points, and takes both offsets as
//   given. Neither is drawn, so both are blanked.
// - It starts from window and viewport extents of 0 where the format starts from 1 by 1,
//   so that a metafile in the anisotropic mapping mode that never sets them (pstoedit
//   writes such) comes out as NaN coordinates. Records setting the format's defaults
//   follow the header.
constexpr qsizetype DescriptionAt = 60; // length in characters, offset
constexpr qsizetype PixelFormatAt = 88; // size in bytes, offset
constexpr std::uint32_t HeaderWithPixelFormat = 100;
constexpr qsizetype FileBytesAt = 48;
constexpr qsizetype RecordCountAt = 52;
constexpr std::uint32_t EmrSetWindowExtEx = 9;
constexpr std::uint32_t EmrSetViewportExtEx = 11;
constexpr std::uint32_t ExtentRecordBytes = 16; // type, size, cx, cy

void put32(QByteArray& b, qsizetype at, std::uint32_t value) {
    qToLittleEndian(value, b.data() + at);
}

QByteArray convertibleCopy(const QByteArray& file) {
    QByteArray copy = file;
    if (copy.size() >= DescriptionAt + 8) std::memset(copy.data() + DescriptionAt, 0, 8);
    if (copy.size() >= PixelFormatAt + 8 && u32(file, 4) >= HeaderWithPixelFormat)
        std::memset(copy.data() + PixelFormatAt, 0, 8);
    const qint64 headerBytes = copy.size() >= RecordCountAt + 4 ? u32(file, 4) : 0;
    if (headerBytes < RecordCountAt + 4 || headerBytes > copy.size()) return copy;
    QByteArray defaults;
    for (const std::uint32_t type : {EmrSetWindowExtEx, EmrSetViewportExtEx})
        for (const std::uint32_t word : {type, ExtentRecordBytes, 1u, 1u}) {
            const std::uint32_t little = qToLittleEndian(word);
            defaults.append(reinterpret_cast<const char*>(&little), sizeof little);
        }
    copy.insert(headerBytes, defaults);
    put32(copy, FileBytesAt, u32(copy, FileBytesAt) + std::uint32_t(defaults.size()));
    put32(copy, RecordCountAt, u32(copy, RecordCountAt) + 2);
    return copy;
}

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

} // namespace

QRectF emfFrameInSvg(const EmfHeader& header) {
    const QSizeF& mm = header.deviceMillimetres;
    if (mm.width() <= 0 || mm.height() <= 0 || header.device.isEmpty()) return {};
    const double perX = header.device.width() / (mm.width() * HundredthsPerMillimetre);
    const double perY = header.device.height() / (mm.height() * HundredthsPerMillimetre);
    const QRect& frame = header.frame;
    const double left = std::round(frame.left() * perX);
    const double top = std::round(frame.top() * perY);
    const double right = std::round((double(frame.right()) + 1) * perX);
    const double bottom = std::round((double(frame.bottom()) + 1) * perY);
    return QRectF(left - header.bounds.left(), top - header.bounds.top(), right - left,
                  bottom - top);
}

DecodeResult renderEmf(const QByteArray& file, const EmfHeader& header, QSize size, qint64 limit) {
    const QRectF frame = emfFrameInSvg(header);
    if (size.isEmpty() || frame.isEmpty()) return DecodeResult::failed(UnknownImageFormat);
    const EmfContents contents = emfContents(file);
    if (contents.bitmapPixels > limit / BytesPerPixel / BitmapShare ||
        contents.drawingBytes > limit / DrawingShare)
        return DecodeResult::failed(OutOfMemory);

    generatorOptions options{};
    options.nameSpace = nullptr;
    options.svgDelimiter = true;
    options.emfplus = false; // dual files carry plain records as well
    char* svgBytes = nullptr;
    std::size_t svgLength = 0;
    QByteArray records = convertibleCopy(file);
    const int converted = emf2svg(records.data(), static_cast<std::size_t>(records.size()),
                                  &svgBytes, &svgLength, &options);
    records.clear();
    const std::unique_ptr<char, FreeDeleter> svg(svgBytes);
    if (!converted || !svg || svgLength == 0) return DecodeResult::failed(UnknownImageFormat);
    if (qint64(svgLength) > limit / SvgShare) return DecodeResult::failed(OutOfMemory);

    QSvgRenderer renderer(QByteArray::fromRawData(svg.get(), qsizetype(svgLength)));
    if (!renderer.isValid()) return DecodeResult::failed(UnknownImageFormat);
    renderer.setViewBox(frame);

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return DecodeResult::failed(OutOfMemory);
    image.fill(MetafilePaper);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return {image, Ok};
}

} // namespace kamsulo::imaging
