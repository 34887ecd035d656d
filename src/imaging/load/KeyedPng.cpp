#include "imaging/load/KeyedPng.h"

#include "imaging/ImagingStatus.h"
#include "imaging/load/PngChunks.h"

#include <QImage>
#include <QRgba64>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <png.h>

namespace kamsulo::imaging {

namespace {

constexpr quint32 HeaderLength = 13;
constexpr uchar DeepSamples = 16;
constexpr uchar RgbColour = 2;
constexpr int SampleBytes = 2, PixelBytes = 3 * SampleBytes;

struct Header {
    quint32 width = 0;
    quint32 height = 0;
    bool interlaced = false;
};

// The header, when it is one of 16-bit RGB samples and a tRNS chunk comes before the data.
std::optional<Header> keyedHeader(QByteArrayView file) {
    PngChunks chunks(file);
    const std::optional<PngChunk> first = chunks.next();
    if (!first || !first->is("IHDR") || first->length != HeaderLength) return std::nullopt;
    const uchar* d = first->data;
    if (d[8] != DeepSamples || d[9] != RgbColour) return std::nullopt;
    while (const std::optional<PngChunk> chunk = chunks.next()) {
        if (chunk->is("IDAT") || chunk->is("IEND")) break;
        if (chunk->is("tRNS")) return Header{bigEndian(d), bigEndian(d + 4), d[12] != 0};
    }
    return std::nullopt;
}

struct Source {
    const uchar* at;
    const uchar* end;
};

void readBytes(png_structp png, png_bytep out, std::size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (std::size_t(source->end - source->at) < count) png_error(png, "the file ends");
    std::memcpy(out, source->at, count);
    source->at += count;
}

void failed(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void warned(png_structp, png_const_charp) {}

quint16 sample(const uchar* p) {
    return quint16(p[0] << 8 | p[1]);
}

void toArgb32(const uchar* samples, QRgb* out, quint32 width, const png_color_16* key) {
    for (quint32 x = 0; x < width; ++x, samples += PixelBytes) {
        const quint16 r = sample(samples), g = sample(samples + SampleBytes),
                      b = sample(samples + 2 * SampleBytes);
        out[x] = key && r == key->red && g == key->green && b == key->blue
                     ? 0
                     : QRgba64::fromRgba64(r, g, b, 0xffff).toArgb32();
    }
}

struct Target {
    uchar* pixels;
    qsizetype bytesPerLine;
    uchar* samples; // a row's, or the whole picture's when it is interlaced
    png_bytepp rows;
};

// Between libpng's jump back here and the call, nothing that wants destroying.
bool readPixels(png_structp png, png_infop info, const Header& header, const Target& target) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    if (png_get_bit_depth(png, info) != DeepSamples ||
        png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB ||
        png_get_image_width(png, info) != header.width ||
        png_get_image_height(png, info) != header.height)
        return false;
    png_color_16p key = nullptr;
    if (!(png_get_tRNS(png, info, nullptr, nullptr, &key) & PNG_INFO_tRNS)) key = nullptr;
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const auto outRow = [&](quint32 y) {
        return reinterpret_cast<QRgb*>(target.pixels + qsizetype(y) * target.bytesPerLine);
    };
    if (header.interlaced) {
        png_read_image(png, target.rows);
        for (quint32 y = 0; y < header.height; ++y)
            toArgb32(target.rows[y], outRow(y), header.width, key);
    } else {
        for (quint32 y = 0; y < header.height; ++y) {
            png_read_row(png, target.samples, nullptr);
            toArgb32(target.samples, outRow(y), header.width, key);
        }
    }
    return true;
}

} // namespace

std::optional<DecodeResult> decodeKeyedPng(QByteArrayView file, QSize size,
                                           const PictureMemory& memory) {
    const std::optional<Header> header = keyedHeader(file);
    if (!header || size.isEmpty() || qint64(header->width) != size.width() ||
        qint64(header->height) != size.height())
        return std::nullopt;

    QImage picture = memory ? memory(size, QImage::Format_ARGB32) : QImage();
    if (picture.isNull() || picture.size() != size || picture.format() != QImage::Format_ARGB32)
        picture = QImage(size, QImage::Format_ARGB32);
    const std::size_t rowBytes = std::size_t(header->width) * PixelBytes;
    const std::size_t sampleRows = header->interlaced ? header->height : 1;
    std::unique_ptr<uchar[]> samples(new (std::nothrow) uchar[rowBytes * sampleRows]);
    std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[sampleRows]);
    if (picture.isNull() || !samples || !rows) return DecodeResult::failed(OutOfMemory);
    for (std::size_t y = 0; y < sampleRows; ++y)
        rows[y] = samples.get() + y * rowBytes;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failed, warned);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return DecodeResult::failed(OutOfMemory);
    }
    Source source{reinterpret_cast<const uchar*>(file.data()),
                  reinterpret_cast<const uchar*>(file.data()) + file.size()};
    png_set_read_fn(png, &source, readBytes);
    const bool read = readPixels(
        png, info, *header, {picture.bits(), picture.bytesPerLine(), samples.get(), rows.get()});
    png_destroy_read_struct(&png, &info, nullptr);
    if (!read) return DecodeResult::failed(UnknownImageFormat);
    return DecodeResult{picture, Ok};
}

} // namespace kamsulo::imaging
