// The common PNG decoder against Qt's reader, on files whose rows use every filter
// type, alone and in runs; and the files it must leave to Qt's reader.
#include "imaging/load/PngDecoder.h"
#include "Samples.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QRandomGenerator>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

enum Filter : uchar { None, Sub, Up, Average, Paeth };
// Each type alone, and Paeth in runs of even and odd length.
constexpr uchar FilterCycle[] = {None, Sub, Up, Average, Paeth, Paeth, Paeth, Up, Paeth, Paeth};

int predictor(uchar filter, int a, int b, int c) {
    switch (filter) {
    case Sub:
        return a;
    case Up:
        return b;
    case Average:
        return (a + b) / 2;
    case Paeth: {
        const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
        return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    }
    return 0;
}

// `extra` goes between the header and the data.
QByteArray png(const QImage& image, int channels, const QByteArray& extra = {}) {
    const int bytes = image.width() * channels;
    QByteArray raw;
    std::vector<uchar> prior(std::size_t(bytes), 0), row(std::size_t(bytes), 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int v[] = {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
            for (int k = 0; k < channels; ++k)
                row[std::size_t(x * channels + k)] = uchar(v[k]);
        }
        const uchar filter = FilterCycle[y % std::size(FilterCycle)];
        raw += char(filter);
        for (int i = 0; i < bytes; ++i) {
            const int a = i >= channels ? row[std::size_t(i - channels)] : 0;
            const int c = i >= channels ? prior[std::size_t(i - channels)] : 0;
            raw += char(row[std::size_t(i)] - predictor(filter, a, prior[std::size_t(i)], c));
        }
        prior = row;
    }
    const QByteArray header = bigEndian32(quint32(image.width())) +
                              bigEndian32(quint32(image.height())) +
                              QByteArray::fromHex(channels == 3 ? "0802000000" : "0806000000");
    QByteArray file = QByteArray::fromHex("89504e470d0a1a0a");
    file += pngChunk("IHDR", header);
    file += extra;
    const QByteArray compressed = qCompress(raw).mid(4); // without Qt's length
    const qsizetype half = compressed.size() / 2;
    file += pngChunk("IDAT", compressed.left(half));
    file += pngChunk("IDAT", compressed.mid(half));
    file += pngChunk("IEND", {});
    return file;
}

QImage byQt(const QByteArray& file) {
    QBuffer device;
    device.setData(file);
    device.open(QIODevice::ReadOnly);
    return QImageReader(&device, "png").read();
}

QImage noise(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, random.generate() & (x % 3 ? 0xffffffffu : 0x80f0f0f0u));
    return image;
}

} // namespace

TEST(PngDecoder, DecodesEveryFilterAsQtsReader) {
    for (const QSize size : {QSize(1, 1), QSize(2, 23), QSize(67, 41)})
        for (const int channels : {3, 4}) {
            const QByteArray file = png(noise(size), channels);
            const std::optional<QImage> ours = decodeCommonPng(file, {});
            ASSERT_TRUE(ours) << size.width() << "x" << size.height() << " " << channels;
            EXPECT_EQ(*ours, byQt(file)) << size.width() << "x" << size.height() << " " << channels;
        }
}

// The colour space of gAMA, cHRM, sRGB and iCCP as Qt's reader attaches it (libpng's
// checks included: a cHRM without a white point or a gAMA of zero is dropped), beside the
// pixels.
TEST(PngDecoder, AttachesTheColourSpaceOfQtsReader) {
    const QImage image = noise(QSize(5, 3));
    const QByteArray gamma45 = pngChunk("gAMA", bigEndian32(45455));
    // D65 and the primaries of a wide-gamut display, and the same without a white point.
    const QByteArray primaries = QByteArray::fromHex("000109a000007d000000678400010d88"
                                                     "00003a9800001770");
    const QByteArray chromaticities =
        pngChunk("cHRM", QByteArray::fromHex("00007a2600008084") + primaries);
    const QByteArray noWhite = pngChunk("cHRM", QByteArray(8, '\0') + primaries);
    const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    const QByteArray icc = pngChunk("iCCP", QByteArrayLiteral("P3\0\0") + qCompress(p3).mid(4));
    const QByteArray srgb = pngChunk("sRGB", QByteArray(1, '\0'));
    const struct {
        QByteArray chunks;
        bool colourSpace;
    } cases[] = {
        {{}, false},
        {gamma45, true},
        {gamma45 + chromaticities, true},
        {gamma45 + noWhite, false},
        {pngChunk("gAMA", bigEndian32(0)), false},
        {srgb, true},
        {icc, true},
        {gamma45 + icc, true},
    };
    for (const auto& c : cases)
        for (const int channels : {3, 4}) {
            const QByteArray file = png(image, channels, c.chunks);
            const std::optional<QImage> ours = decodeCommonPng(file, {});
            const QImage qts = byQt(file);
            const std::string name = c.chunks.toHex().toStdString();
            ASSERT_TRUE(ours) << name;
            EXPECT_EQ(*ours, qts) << name;
            EXPECT_EQ(ours->colorSpace(), qts.colorSpace()) << name;
            EXPECT_EQ(ours->colorSpace().isValid(), c.colourSpace) << name;
        }
}

TEST(PngDecoder, LeavesOtherAndDamagedFilesToQtsReader) {
    const QImage image = noise(QSize(9, 7));
    const QByteArray trns = pngChunk("tRNS", QByteArray::fromHex("000100020003"));
    const QByteArray exif = pngChunk("eXIf", QByteArray::fromHex("4d4d002a00000008"));
    QByteArray badCrc = png(image, 3), cut = png(image, 3);
    badCrc[badCrc.size() - 20] = char(badCrc[badCrc.size() - 20] ^ 1);
    cut.chop(30);
    QByteArray gray = png(image, 3);
    gray[25] = 0; // colour type
    for (const QByteArray& file : {png(image, 3, trns), png(image, 4, exif), badCrc, cut, gray})
        EXPECT_FALSE(decodeCommonPng(file, {}));
}
