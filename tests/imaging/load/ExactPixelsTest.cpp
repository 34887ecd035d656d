// Small files whose formats say exactly what each pixel is, in the corners where a
// reader easily goes astray: colour keys of 16-bit PNGs, channels of other widths than
// 8 bits, the pixels that run-length data skips, masks that cannot be honoured, and a
// chunk longer than its file. In process and in the decoder process alike.
#include "Samples.h"
#include "imaging/ImagingStatus.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/load/LoadTexts.h"
#include "imaging/load/SandboxedLoader.h"

#include <QList>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };
constexpr int InfoHeaderBytes = 40;
constexpr int V4HeaderBytes = 108; // the masks inside, the alpha's too

QByteArray littleEndian(quint32 value, int bytes) {
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char(value >> 8 * i & 0xff);
    return out;
}

QByteArray words(const QList<quint32>& values, int bytes) {
    QByteArray out;
    for (const quint32 value : values)
        out += littleEndian(value, bytes);
    return out;
}

// `masks`: red, green, blue (and alpha, in a V4 header); `pixels`: the rows bottom first,
// unless the height is negative.
QByteArray bitmapFile(int width, int height, int bits, Compression compression,
                      const QList<quint32>& masks, const QByteArray& pixels,
                      const QList<QRgb>& colours = {}, int headerBytes = InfoHeaderBytes) {
    QByteArray info =
        words({quint32(headerBytes), quint32(width), quint32(height)}, 4) +
        words({1, quint32(bits)}, 2) +
        words({compression, quint32(pixels.size()), 2835, 2835, quint32(colours.size()), 0}, 4);
    info += words(masks, 4);
    if (headerBytes > InfoHeaderBytes) info.resize(headerBytes, '\0');
    const QByteArray palette = words(colours, 4);
    const int offset = 14 + int(info.size() + palette.size());
    return "BM" + words({quint32(offset + pixels.size())}, 4) + words({0, 0}, 2) +
           words({quint32(offset)}, 4) + info + palette + pixels;
}

// A PNG of 16-bit RGB samples, one row, with a tRNS chunk.
QByteArray keyedPng(const QList<quint32>& samples, const QByteArray& key) {
    QByteArray raw(1, '\0'); // no filter
    for (const quint32 sample : samples)
        raw += char(sample >> 8) + QByteArray(1, char(sample & 0xff));
    const QByteArray header = bigEndian32(quint32(samples.size() / 3)) + bigEndian32(1) +
                              QByteArray::fromHex("1002000000"); // 16 bits, RGB
    return QByteArray::fromHex("89504e470d0a1a0a") + pngChunk("IHDR", header) +
           pngChunk("tRNS", key) + pngChunk("IDAT", qCompress(raw).mid(4)) + pngChunk("IEND", {});
}

const QRgb P0 = qRgb(0x20, 0x40, 0x60), P1 = qRgb(255, 0, 0), P2 = qRgb(0, 255, 0),
           P3 = qRgb(0, 0, 255);
const QList<QRgb> Palette = {P0, P1, P2, P3};
const QRgb White = qRgb(255, 255, 255), Black = qRgb(0, 0, 0);

struct Case {
    const char* name; // its ending picks the branch
    QByteArray file;
    int width;
    QList<QRgb> pixels; // top row first; none: refused with `refusal`
    QString refusal = {};
};

QList<QRgb> pixelsOf(const QImage& picture) {
    QList<QRgb> pixels;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            pixels += picture.pixel(x, y);
    return pixels;
}

// Leaves freed memory of `bytes` full of ones, which a reader's picture may be given next.
void soilFreedMemory(std::size_t bytes) {
    void* blocks[8];
    for (void*& block : blocks)
        std::memset(block = std::malloc(bytes), 0xff, bytes);
    for (void* block : blocks)
        std::free(block);
}

} // namespace

TEST(ExactPixels, EachFileAsItsFormatDefinesIt) {
    const QString damagedBitmap = QString::fromUtf16(LoadText::PictureLoaderFailed);
    const QString damagedPng =
        withStatusText(QString::fromUtf16(LoadText::CannotReadFile), UnknownImageFormat);
    // 57 bytes: the header, then a text chunk claiming 2 GB.
    const QByteArray longChunk =
        keyedPng({0, 0, 0}, {}).left(33) + bigEndian32(0x7ffffff0) + "zTXt" + QByteArray(16, 'k');
    const Case cases[] = {
        // The white of the key is transparent, so black; a sample off by one is not.
        {"key16.png",
         keyedPng({0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xfffe, 0x1234, 0x5678, 0x9abc},
                  QByteArray::fromHex("ffffffffffff")),
         3,
         {Black, White, qRgb(0x12, 0x56, 0x9a)}},
        // Five bits widen to eight by repeating their high bits: 31 -> 255, 16 -> 132.
        {"rgb555.bmp",
         bitmapFile(2, 2, 16, Rgb, {}, words({0x4210, 0x0001, 0x7fff, 0x7c00}, 2)),
         2,
         {White, qRgb(255, 0, 0), qRgb(132, 132, 132), qRgb(0, 0, 8)}},
        // Stored top row first; six bits of green: 32 -> 130.
        {"rgb565.bmp",
         bitmapFile(2, -2, 16, BitFields, {0xf800, 0x07e0, 0x001f},
                    words({0xffff, 0x8410, 0x0000, 0x07e0}, 2)),
         2,
         {White, qRgb(132, 130, 132), Black, qRgb(0, 255, 0)}},
        // Runs, then an early end of the line; a jump; an early end of the picture.
        // What they skip is the palette's first colour.
        {"gaps.rle",
         bitmapFile(6, 3, 8, Rle8, {},
                    QByteArray::fromHex("0201 0000 0002 0300 0102 0002 0101 0103 0001"), Palette),
         6,
         {P0, P0, P0, P0, P0, P3, P0, P0, P0, P2, P0, P0, P1, P1, P0, P0, P0, P0}},
        {"gaps.bmp",
         bitmapFile(6, 1, 4, Rle4, {}, QByteArray::fromHex("0312 0002 0200 0001"), Palette),
         6,
         {P1, P2, P1, P0, P0, P0}},
        // Channels of 11, 11 and 10 bits; of 16, 8 and 8: their high bits.
        {"wide.bmp",
         bitmapFile(2, 1, 32, BitFields, {0xffe00000, 0x001ffc00, 0x000003ff},
                    words({0xffffffff, 0x80000000 | 0x7ff << 10 | 0x1}, 4)),
         2,
         {White, qRgb(128, 255, 0)}},
        {"sixteen.bmp",
         bitmapFile(2, 1, 32, BitFields, {0xffff0000, 0x0000ff00, 0x000000ff},
                    words({0xffffffff, 0x01ff7f80}, 4)),
         2,
         {White, qRgb(1, 0x7f, 0x80)}},
        // Alpha of one bit and of two: over black.
        {"alpha1.bmp",
         bitmapFile(2, 1, 16, BitFields, {0x7c00, 0x03e0, 0x001f, 0x8000},
                    words({0xffff, 0x7fff}, 2), {}, V4HeaderBytes),
         2,
         {White, Black}},
        {"alpha2.bmp",
         bitmapFile(3, 1, 32, BitFields, {0x3ff00000, 0x000ffc00, 0x000003ff, 0xc0000000},
                    words({0xffffffff, 0x3fffffff, 0xbff00000}, 4), {}, V4HeaderBytes),
         3,
         {White, Black, qRgb(170, 0, 0)}},
        // Masks that overlap, and a channel without one.
        {"overlap.bmp",
         bitmapFile(2, 1, 16, BitFields, {0xf800, 0x0fe0, 0x001f}, words({0, 0}, 2)),
         2,
         {},
         damagedBitmap},
        {"empty.bmp",
         bitmapFile(2, 1, 16, BitFields, {0xf800, 0x07e0, 0}, words({0, 0}, 2)),
         2,
         {},
         damagedBitmap},
        {"long-chunk.png", longChunk, 0, {}, damagedPng},
    };
    QTemporaryDir dir;
    const ImageLoader inProcess;
    SandboxedLoader sandboxed;
    for (const Case& c : cases) {
        const QString file = writeFile(dir, QString::fromLatin1(c.name), c.file);
        const int height = c.width ? int(c.pixels.size()) / c.width : 0;
        soilFreedMemory(std::size_t((c.width + 3) / 4 * 4 * height));
        for (const LoadResult& result : {inProcess.load(file), sandboxed.load(file)}) {
            EXPECT_EQ(result.errorText, c.refusal) << c.name;
            EXPECT_EQ(pixelsOf(result.picture), c.pixels) << c.name;
        }
    }
}
