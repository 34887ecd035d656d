#include "imaging/PixelConversion.h"
#include "imaging/StandardPalettes.h"

#include <QImage>
#include <gtest/gtest.h>
#include <random>

using namespace kamsulo::imaging;

namespace {

QImage fourColors() {
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(2, 0, qRgb(0, 0, 255));
    image.setPixel(3, 0, qRgb(255, 255, 255));
    return image;
}

} // namespace

TEST(GrayScale, LevelsOfThePrimariesAndWhite) {
    PixelConversion conversion;
    Bitmap gray;
    ASSERT_EQ(conversion.toGrayLevels(Picture(fourColors()), gray), 0);
    EXPECT_EQ(gray.format(), PixelFormat::Indexed8);
    EXPECT_EQ(gray.stride(), 4u);
    const std::uint8_t* row = gray.scanLine(0);
    EXPECT_EQ(row[0], 77);
    EXPECT_EQ(row[1], 150);
    EXPECT_EQ(row[2], 28);
    EXPECT_EQ(row[3], 255);
    EXPECT_EQ(gray.palette.flags, PaletteGrayScale);
    ASSERT_EQ(gray.palette.entries.size(), 256u);
    EXPECT_EQ(gray.palette.entries[77], (PaletteEntry{77, 77, 77, 255}));
    // Truncating division: (150 * 1 + 77 * 1 + 28 * 1) div 255 = 1, (150 * 1) div 255 = 0.
    EXPECT_EQ(PixelConversion::grayLevel(1, 1, 1), 1);
    EXPECT_EQ(PixelConversion::grayLevel(0, 1, 0), 0);
}

TEST(ColorConversion, SixteenTwentyFourAndThirtyTwoBits) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(0xF8, 0xFC, 0x08)); // red, green, blue
    PixelConversion conversion;
    Bitmap b;
    ASSERT_EQ(conversion.toDirectColor(Picture(image), b, PixelFormat::Rgb555), 0);
    EXPECT_EQ(b.format(), PixelFormat::Rgb555);
    EXPECT_EQ(b.stride(), 8u);
    EXPECT_EQ(b.scanLine(1)[0] | (b.scanLine(1)[1] << 8), (31 << 10) | (31 << 5) | 1);
    ASSERT_EQ(conversion.toDirectColor(Picture(image), b, PixelFormat::Rgb565), 0);
    EXPECT_EQ(b.scanLine(0)[2] | (b.scanLine(0)[3] << 8), (31 << 11) | (63 << 5) | 1);
    ASSERT_EQ(conversion.toDirectColor(Picture(image), b, PixelFormat::Rgb24), 0);
    EXPECT_EQ(b.stride(), 12u);
    EXPECT_EQ(b.scanLine(1)[6], 0x08);
    EXPECT_EQ(b.scanLine(1)[7], 0xFC);
    EXPECT_EQ(b.scanLine(1)[8], 0xF8);
    EXPECT_EQ(b.scanLine(1)[9], 0); // pad
    for (PixelFormat format : {PixelFormat::Rgb32, PixelFormat::Argb32}) {
        ASSERT_EQ(conversion.toDirectColor(Picture(image), b, format), 0);
        EXPECT_EQ(b.scanLine(0)[4 + 3], 255);
    }
    // A transparent source pixel is saved opaque, as the canvas shows it.
    QImage clear(1, 1, QImage::Format_ARGB32);
    clear.fill(qRgba(10, 20, 30, 0));
    ASSERT_EQ(conversion.toDirectColor(Picture(clear), b, PixelFormat::Argb32), 0);
    EXPECT_EQ(b.scanLine(0)[3], 255);
    EXPECT_EQ(b.scanLine(0)[2], 10);
}

TEST(ColorConversion, UnsupportedFormatsLogTheGermanMessageAndGiveNoBitmap) {
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { messages << text; });
    PixelConversion conversion;
    Bitmap b;
    const Picture picture(fourColors());
    EXPECT_NE(conversion.toDirectColor(picture, b, PixelFormat::Indexed8), 0);
    EXPECT_TRUE(b.isNull());
    EXPECT_NE(conversion.toDirectColor(picture, b, static_cast<PixelFormat>(10)), 0);
    EXPECT_NE(conversion.toFixedPalette(picture, b, PixelFormat::Rgb24), 0);
    EXPECT_NE(conversion.toFixedPalette(picture, b, static_cast<PixelFormat>(-1)), 0);
    EXPECT_TRUE(b.isNull());
    // An empty picture is no unsupported format: no message.
    EXPECT_NE(conversion.toFixedPalette(Picture(QImage()), b, PixelFormat::Indexed1), 0);
    qInstallMessageHandler(previous);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages[0], QStringLiteral("ConvertTo16_24_32bpp unterstützt dieses Format nicht."));
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[2], QStringLiteral("ConvertTo1_4_8bpp unterstützt dieses Format nicht."));
}

TEST(FixedPalettes, IndexedBitmapsPackAndMapToTheNearestColour) {
    QImage image(9, 1, QImage::Format_RGB32);
    const QRgb colors[9] = {qRgb(0, 0, 0),    qRgb(250, 250, 250), qRgb(255, 0, 0),
                            qRgb(120, 0, 0),  qRgb(51, 102, 153),  qRgb(128, 128, 128),
                            qRgb(20, 20, 20), qRgb(190, 190, 200), qRgb(90, 90, 90)};
    for (int x = 0; x < 9; ++x)
        image.setPixel(x, 0, colors[x]);
    PixelConversion conversion;
    Bitmap b;

    ASSERT_EQ(conversion.toFixedPalette(Picture(image), b, PixelFormat::Indexed1), 0);
    EXPECT_EQ(b.format(), PixelFormat::Indexed1);
    EXPECT_EQ(b.palette.entries.size(), 2u);
    EXPECT_EQ(b.stride(), 4u);
    // black, white, then red (nearer black), dark red, ... ; leftmost pixel in the high bit
    EXPECT_EQ(b.scanLine(0)[0], 0b01000101);
    EXPECT_EQ(b.scanLine(0)[1], 0b00000000);

    ASSERT_EQ(conversion.toFixedPalette(Picture(image), b, PixelFormat::Indexed4), 0);
    EXPECT_EQ(b.palette.entries.size(), 16u);
    EXPECT_EQ(b.scanLine(0)[1], (9 << 4) | 1); // red, dark red
    EXPECT_EQ(b.scanLine(0)[2], (6 << 4) | 8); // (51,102,153) is nearest teal; gray
    EXPECT_EQ(b.scanLine(0)[3] >> 4, 0);       // (20,20,20) black
    EXPECT_EQ(b.scanLine(0)[3] & 15, 7);       // silver

    ASSERT_EQ(conversion.toFixedPalette(Picture(image), b, PixelFormat::Indexed8), 0);
    EXPECT_EQ(b.palette.entries.size(), 256u);
    const std::uint8_t* row = b.scanLine(0);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[2], 9);
    EXPECT_EQ(row[4], 16 + 36 * 1 + 6 * 2 + 3); // on the cube
    EXPECT_EQ(row[5], 8);                       // standard gray before any cube or gray entry
    EXPECT_EQ(row[6], 16 + 216 + 1);            // gray 18
    EXPECT_EQ(row[8], 16 + 216 + 8);            // gray 88
}

// The 8-bit mapping takes shortcuts through the cube and the grays; it must
// give what a search of all 256 entries gives.
TEST(FixedPalettes, EightBitShortcutEqualsFullSearch) {
    const StandardPalette palette(8);
    std::mt19937 random(5);
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t v = random();
        std::uint8_t b = std::uint8_t(v), g = std::uint8_t(v >> 8), r = std::uint8_t(v >> 16);
        if (i % 3 == 0) g = r, b = r; // grays
        int best = 0, bestDistance = 1 << 30;
        for (int k = 0; k < 256; ++k) {
            const PaletteEntry& e = palette.entries()[static_cast<std::size_t>(k)];
            const int d = (e.red - r) * (e.red - r) + (e.green - g) * (e.green - g) +
                          (e.blue - b) * (e.blue - b);
            if (d < bestDistance) bestDistance = d, best = k;
        }
        ASSERT_EQ(palette.nearest(b, g, r), best) << int(r) << "," << int(g) << "," << int(b);
    }
}
