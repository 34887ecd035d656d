#include "imaging/load/PngDecoder.h"

#include "imaging/load/PngChunks.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kamsulo::imaging {

namespace {

constexpr uchar Signature[PngSignatureBytes] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr quint32 HeaderLength = 13;
// Far beyond what the decode limit lets through; the arithmetic below stays in range.
constexpr qint64 MostPixels = qint64(1) << 29;
// Room after a row for a whole pixel's load and store at its end.
constexpr std::size_t Slack = 4;

enum class ColourType : uchar { Rgb = 2, Rgba = 6 };
enum class Filter : uchar { None, Sub, Up, Average, Paeth };

bool isLetters(const uchar* type) {
    return std::all_of(type, type + 4,
                       [](uchar c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; });
}

// A chunk whose type starts with a capital letter must be understood.
bool isCritical(const uchar* type) {
    return (type[0] & 0x20) == 0;
}

bool crcHolds(const PngChunk& chunk) {
    const quint32 crc = quint32(libdeflate_crc32(0, chunk.type, 4 + std::size_t(chunk.length)));
    return crc == bigEndian(chunk.data + chunk.length);
}

struct Header {
    quint32 width = 0;
    quint32 height = 0;
    int channels = 0;
};

std::optional<Header> commonHeader(const PngChunk& chunk) {
    if (!chunk.is("IHDR") || chunk.length != HeaderLength || !crcHolds(chunk)) return std::nullopt;
    const uchar* d = chunk.data;
    Header header{bigEndian(d), bigEndian(d + 4), 0};
    const uchar depth = d[8], colour = d[9], compression = d[10], filter = d[11], interlace = d[12];
    if (depth != 8 || compression != 0 || filter != 0 || interlace != 0) return std::nullopt;
    if (colour == uchar(ColourType::Rgb)) header.channels = 3;
    if (colour == uchar(ColourType::Rgba)) header.channels = 4;
    if (header.channels == 0 || header.width == 0 || header.height == 0 ||
        header.width > 0x7fffffffu || header.height > 0x7fffffffu ||
        qint64(header.width) * header.height > MostPixels)
        return std::nullopt;
    return header;
}

// Walks the chunks after the header; nothing if any would make Qt's reader (libpng)
// do more than inflate and unfilter, or if the file is damaged.
std::optional<std::vector<PngChunk>> imageData(PngChunks& chunks) {
    std::vector<PngChunk> data;
    bool dataEnded = false;
    while (const std::optional<PngChunk> chunk = chunks.next()) {
        if (!isLetters(chunk->type)) return std::nullopt;
        if (chunk->is("IEND")) {
            if (data.empty() || !crcHolds(*chunk)) return std::nullopt;
            return data;
        }
        if (chunk->is("IDAT")) {
            if (dataEnded || !crcHolds(*chunk)) return std::nullopt;
            data.push_back(*chunk);
            continue;
        }
        dataEnded = !data.empty();
        // Transparency and orientation change the picture; other critical chunks than
        // the suggested palette before the data are not ours.
        if (chunk->is("tRNS") || chunk->is("eXIf")) return std::nullopt;
        if (isCritical(chunk->type) && (!chunk->is("PLTE") || !data.empty())) return std::nullopt;
    }
    return std::nullopt; // no end
}

#if defined(__SSE2__)
// Four bytes at once, also for three-byte pixels: the rows lie in memory with a byte
// or more after each (the next row's filter type, or slack after the last).
__m128i loadPixel(const uchar* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(v)), _mm_setzero_si128());
}

void storePixel(uchar* p, __m128i v) {
    const auto packed = std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
    std::memcpy(p, &packed, sizeof packed);
}

__m128i absolute(__m128i x) {
    return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x));
}

__m128i choose(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// The Paeth predictor for all channels of a pixel at once, in 16-bit lanes: a left, b
// above, c above left. Ties go to a, then b, as the format wants. For three-byte pixels
// the fourth lane predicts nothing, so that the next pixel's first byte, loaded and
// stored with the pixel, is written back as it was.
__m128i paeth(__m128i a, __m128i b, __m128i c, __m128i lanes) {
    const __m128i towardA = _mm_sub_epi16(b, c), towardB = _mm_sub_epi16(a, c);
    const __m128i pa = absolute(towardA), pb = absolute(towardB),
                  pc = absolute(_mm_add_epi16(towardA, towardB));
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i bOrC = choose(_mm_cmpgt_epi16(pb, pc), c, b);
    return _mm_and_si128(choose(notA, bOrC, a), lanes);
}

template <int Bpp> __m128i paethLanes() {
    return Bpp == 4 ? _mm_set1_epi16(-1) : _mm_set_epi16(0, 0, 0, 0, 0, -1, -1, -1);
}

template <int Bpp> void unpaeth(uchar* row, const uchar* prior, std::size_t length) {
    const __m128i lanes = paethLanes<Bpp>();
    __m128i b = _mm_setzero_si128(), x = _mm_setzero_si128();
    for (std::size_t i = 0; i < length; i += Bpp) {
        const __m128i c = b;
        b = loadPixel(prior + i);
        x = _mm_add_epi8(loadPixel(row + i), paeth(x, b, c, lanes));
        storePixel(row + i, x);
    }
}

// Two rows at once, the lower one a pixel behind: each pixel waits for the one on its
// left, and two such chains keep the processor busier than one.
template <int Bpp>
void unpaethPair(uchar* upper, uchar* lower, const uchar* prior, std::size_t length) {
    const __m128i lanes = paethLanes<Bpp>();
    __m128i b0 = loadPixel(prior);
    __m128i x0 =
        _mm_add_epi8(loadPixel(upper), paeth(_mm_setzero_si128(), b0, _mm_setzero_si128(), lanes));
    storePixel(upper, x0);
    __m128i b1 = _mm_setzero_si128(), x1 = _mm_setzero_si128();
    for (std::size_t i = Bpp; i < length; i += Bpp) {
        const __m128i above = x0, c0 = b0;
        b0 = loadPixel(prior + i);
        x0 = _mm_add_epi8(loadPixel(upper + i), paeth(x0, b0, c0, lanes));
        storePixel(upper + i, x0);
        const __m128i c1 = b1;
        b1 = above;
        x1 = _mm_add_epi8(loadPixel(lower + i - Bpp), paeth(x1, b1, c1, lanes));
        storePixel(lower + i - Bpp, x1);
    }
    x1 = _mm_add_epi8(loadPixel(lower + length - Bpp), paeth(x1, x0, b1, lanes));
    storePixel(lower + length - Bpp, x1);
}
#else
int paethPredictor(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

template <int Bpp> void unpaeth(uchar* row, const uchar* prior, std::size_t length) {
    for (std::size_t i = 0; i < Bpp; ++i)
        row[i] = uchar(row[i] + prior[i]);
    for (std::size_t i = Bpp; i < length; ++i)
        row[i] = uchar(row[i] + paethPredictor(row[i - Bpp], prior[i], prior[i - Bpp]));
}

template <int Bpp>
void unpaethPair(uchar* upper, uchar* lower, const uchar* prior, std::size_t length) {
    unpaeth<Bpp>(upper, prior, length);
    unpaeth<Bpp>(lower, upper, length);
}
#endif

template <int Bpp>
bool unfilter(Filter filter, uchar* row, const uchar* prior, std::size_t length) {
    switch (filter) {
    case Filter::None:
        return true;
    case Filter::Sub:
        for (std::size_t i = Bpp; i < length; ++i)
            row[i] = uchar(row[i] + row[i - Bpp]);
        return true;
    case Filter::Up:
        for (std::size_t i = 0; i < length; ++i)
            row[i] = uchar(row[i] + prior[i]);
        return true;
    case Filter::Average:
        for (std::size_t i = 0; i < Bpp; ++i)
            row[i] = uchar(row[i] + (prior[i] >> 1));
        for (std::size_t i = Bpp; i < length; ++i)
            row[i] = uchar(row[i] + ((row[i - Bpp] + prior[i]) >> 1));
        return true;
    case Filter::Paeth:
        unpaeth<Bpp>(row, prior, length);
        return true;
    }
    return false; // no such filter: a damaged file
}

void toRgb32(const uchar* row, QRgb* out, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x, row += 3)
        out[x] = 0xff000000u | QRgb(row[0]) << 16 | QRgb(row[1]) << 8 | row[2];
}

void toArgb32(const uchar* row, QRgb* out, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x, row += 4)
        out[x] = QRgb(row[3]) << 24 | QRgb(row[0]) << 16 | QRgb(row[1]) << 8 | row[2];
}

template <int Bpp> void toPicture(const uchar* row, QImage& picture, quint32 y) {
    auto* out = reinterpret_cast<QRgb*>(picture.scanLine(int(y)));
    if constexpr (Bpp == 3)
        toRgb32(row, out, std::size_t(picture.width()));
    else
        toArgb32(row, out, std::size_t(picture.width()));
}

// Each row is copied out of the inflated stream and unfiltered beside the one above
// it, then written into the picture: the stream may lie in the picture's own memory,
// at its end, where the rows written so far never reach a row not yet read.
template <int Bpp> bool unfilterInto(const uchar* rows, const Header& header, QImage& picture) {
    const std::size_t length = std::size_t(header.width) * Bpp, pitch = length + 1;
    std::vector<uchar> work(3 * (length + Slack));
    // The row above (zeros above the first) and two to work on.
    uchar* ring[3] = {work.data(), work.data() + length + Slack,
                      work.data() + 2 * (length + Slack)};
    const auto filterOf = [&](quint32 y) { return rows[y * pitch]; };
    for (quint32 y = 0; y < header.height;) {
        uchar *prior = ring[0], *row = ring[1], *next = ring[2];
        std::memcpy(row, rows + y * pitch + 1, length);
        if (filterOf(y) == uchar(Filter::Paeth) && y + 1 < header.height &&
            filterOf(y + 1) == uchar(Filter::Paeth)) {
            std::memcpy(next, rows + (y + 1) * pitch + 1, length);
            unpaethPair<Bpp>(row, next, prior, length);
            toPicture<Bpp>(row, picture, y);
            toPicture<Bpp>(next, picture, y + 1);
            ring[0] = next, ring[2] = prior; // the row above the next pair
            y += 2;
            continue;
        }
        if (filterOf(y) > uchar(Filter::Paeth) ||
            !unfilter<Bpp>(Filter(filterOf(y)), row, prior, length))
            return false;
        toPicture<Bpp>(row, picture, y);
        ring[0] = row, ring[1] = prior;
        ++y;
    }
    return true;
}

void appendBigEndian(QByteArray& bytes, quint32 value) {
    const char big[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    bytes.append(big, 4);
}

void appendChunk(QByteArray& file, const char* type, const QByteArray& data) {
    const QByteArray typed = QByteArray(type, 4) + data;
    appendBigEndian(file, quint32(data.size()));
    file += typed;
    appendBigEndian(file,
                    quint32(libdeflate_crc32(0, typed.constData(), std::size_t(typed.size()))));
}

// The colour space that Qt's reader attaches from the chunks before the data (gAMA,
// cHRM, sRGB, iCCP): Qt's reader reads those very chunks in a file of one pixel, so that
// libpng's checks of them and Qt's reading of a profile are theirs.
QColorSpace colourSpaceOf(QByteArrayView file, const PngChunk& header, const PngChunk& firstData) {
    const uchar* between = header.data + header.length + 4; // after the header's CRC
    const uchar* dataStart = firstData.type - 4;            // at the data chunk's length
    if (between == dataStart) return {};
    QByteArray onePixel(file.data(), PngSignatureBytes);
    QByteArray size1x1 = QByteArray(reinterpret_cast<const char*>(header.data), HeaderLength);
    size1x1.replace(0, 8, QByteArray::fromHex("0000000100000001"));
    appendChunk(onePixel, "IHDR", size1x1);
    onePixel.append(reinterpret_cast<const char*>(between), dataStart - between);
    // The one row: its filter type, then a byte a channel.
    const QByteArray row(header.data[9] == uchar(ColourType::Rgb) ? 4 : 5, '\0');
    constexpr std::size_t Room = 64;
    QByteArray compressed(Room, Qt::Uninitialized);
    std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> deflater(
        libdeflate_alloc_compressor(1), libdeflate_free_compressor);
    if (!deflater) return {};
    compressed.truncate(qsizetype(libdeflate_zlib_compress(
        deflater.get(), row.constData(), std::size_t(row.size()), compressed.data(), Room)));
    appendChunk(onePixel, "IDAT", compressed);
    appendChunk(onePixel, "IEND", {});
    QBuffer device(&onePixel);
    device.open(QIODevice::ReadOnly);
    return QImageReader(&device, "png").read().colorSpace();
}

QImage pictureFor(const Header& header, const PictureMemory& memory) {
    const QSize size(int(header.width), int(header.height));
    const QImage::Format format =
        header.channels == 3 ? QImage::Format_RGB32 : QImage::Format_ARGB32;
    QImage given = memory ? memory(size, format) : QImage();
    if (!given.isNull() && given.size() == size && given.format() == format) return given;
    return QImage(size, format);
}

} // namespace

std::optional<QImage> decodeCommonPng(QByteArrayView file, const PictureMemory& memory) {
    if (file.size() < qsizetype(sizeof Signature) ||
        std::memcmp(file.data(), Signature, sizeof Signature) != 0)
        return std::nullopt;
    PngChunks chunks(file);
    const std::optional<PngChunk> first = chunks.next();
    const std::optional<Header> header = first ? commonHeader(*first) : std::nullopt;
    if (!header) return std::nullopt;
    const std::optional<std::vector<PngChunk>> data = imageData(chunks);
    if (!data) return std::nullopt;

    std::vector<uchar> joined;
    const uchar* stream = data->front().data;
    std::size_t streamSize = data->front().length;
    if (data->size() > 1) {
        std::size_t total = 0;
        for (const PngChunk& part : *data)
            total += part.length;
        // Once, not doubled up to its size: each step would fault in fresh pages.
        joined.reserve(total);
        for (const PngChunk& part : *data)
            joined.insert(joined.end(), part.data, part.data + part.length);
        stream = joined.data();
        streamSize = joined.size();
    }

    const std::size_t rowsSize =
        std::size_t(header->height) * (std::size_t(header->width) * header->channels + 1);
    QImage picture = pictureFor(*header, memory);
    std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> inflater(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (picture.isNull() || !inflater) return std::nullopt;
    // Three-byte rows fit in the picture's memory; four-byte ones need their own.
    std::unique_ptr<uchar[]> own;
    uchar* rows = picture.bits() + picture.sizeInBytes() - qsizetype(rowsSize);
    if (header->channels == 4 || picture.bytesPerLine() != qsizetype(header->width) * 4) {
        own.reset(new (std::nothrow) uchar[rowsSize]);
        rows = own.get();
        if (!rows) return std::nullopt;
    }
    std::size_t inflated = 0;
    if (libdeflate_zlib_decompress(inflater.get(), stream, streamSize, rows, rowsSize, &inflated) !=
            LIBDEFLATE_SUCCESS ||
        inflated != rowsSize)
        return std::nullopt;
    const bool unfiltered = header->channels == 3 ? unfilterInto<3>(rows, *header, picture)
                                                  : unfilterInto<4>(rows, *header, picture);
    if (!unfiltered) return std::nullopt;
    picture.setColorSpace(colourSpaceOf(file, *first, data->front()));
    return picture;
}

} // namespace kamsulo::imaging
