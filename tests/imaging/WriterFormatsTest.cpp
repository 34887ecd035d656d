// The four kinds of file ImageWriter saves, read back by ImageMagick and file(1).
#include "Decoders.h"
#include "SaveTestSupport.h"
#include "imaging/AtomicFile.h"
#include "imaging/ImageWriter.h"
#include "imaging/JpegWriter.h"
#include "imaging/PixelConversion.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

class SaveFormats : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QImage picture = testPicture();
    ImageWriter writer;
};

} // namespace

TEST_F(SaveFormats, BmpAndPngHoldThePictureIn24Bits) {
    const QString bmp = path(QStringLiteral("bild.bmp")), png = path(QStringLiteral("bild.png"));
    ASSERT_TRUE(writer.saveBmp(picture, bmp)) << writer.lastError().toStdString();
    ASSERT_TRUE(writer.savePng(picture, png)) << writer.lastError().toStdString();
    const QString type = run(QStringLiteral("file"), {bmp}).out;
    EXPECT_TRUE(type.contains(QLatin1String("x 24,"))) << type.toStdString();
    const QString verbose = identifyVerbose(png);
    EXPECT_EQ(field(verbose, QStringLiteral("png:IHDR.bit-depth-orig")).toInt(), 8);
    EXPECT_EQ(field(verbose, QStringLiteral("png:IHDR.color-type-orig")).toInt(), 2); // RGB
    for (const QString& file : {bmp, png})
        EXPECT_EQ(decodedPixels(file), expectedRgb(picture)) << file.toStdString();
}

TEST_F(SaveFormats, GifHoldsTheOctreePalette) {
    PixelConversion conversion;
    Bitmap expected;
    conversion.toOctreePalette(Picture(picture), expected);
    const QString file = path(QStringLiteral("bild.gif"));
    ASSERT_TRUE(writer.saveGif(picture, file));
    EXPECT_EQ(field(identifyVerbose(file), QStringLiteral("Colormap entries")).toInt(), 256);
    EXPECT_EQ(decodedPixels(file), expectedRgb(expected));
    // The octree palette of a picture with few colours keeps them all.
    QImage few(25, 10, QImage::Format_RGB32); // 250 colours
    for (int x = 0; x < 25; ++x)
        for (int y = 0; y < 10; ++y)
            few.setPixel(x, y, qRgb(x * 6, 255 - y * 20, (x * y) % 7));
    ASSERT_TRUE(writer.saveGif(few, path(QStringLiteral("few.gif"))));
    EXPECT_EQ(decodedPixels(path(QStringLiteral("few.gif"))), expectedRgb(few));
    // Noise fills the LZW table many times over: every code width and restart.
    QImage noise(240, 160, QImage::Format_RGB32);
    std::uint32_t state = 1;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, state >> 8);
        }
    Bitmap noise8;
    conversion.toOctreePalette(Picture(noise), noise8);
    ASSERT_TRUE(writer.saveGif(noise, path(QStringLiteral("noise.gif"))));
    EXPECT_EQ(decodedPixels(path(QStringLiteral("noise.gif"))), expectedRgb(noise8));
}

TEST_F(SaveFormats, JpegQualityIsClampedAndHonoured) {
    // A smooth, photo-like picture.
    QImage smooth(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const int d = ((x - 60) * (x - 60) + (y - 50) * (y - 50)) / 40;
            smooth.setPixel(x, y, qRgb(std::clamp(240 - d, 0, 255), x + y / 2, 80 + y));
        }
    const QString source = path(QStringLiteral("source.png"));
    ASSERT_TRUE(writer.savePng(smooth, source));
    ASSERT_TRUE(writer.saveJpeg(smooth, path(QStringLiteral("q85.jpg")), 85));
    EXPECT_EQ(identify(path(QStringLiteral("q85.jpg")), QStringLiteral("%Q")),
              QStringLiteral("85"));
    EXPECT_GT(psnr(source, path(QStringLiteral("q85.jpg"))), 30.0);

    ASSERT_TRUE(writer.saveJpeg(picture, path(QStringLiteral("q40.jpg")), 40));
    EXPECT_EQ(identify(path(QStringLiteral("q40.jpg")), QStringLiteral("%Q")),
              QStringLiteral("40"));

    ASSERT_TRUE(writer.saveJpeg(picture, path(QStringLiteral("q150.jpg")), 150));
    EXPECT_EQ(identify(path(QStringLiteral("q150.jpg")), QStringLiteral("%Q")),
              QStringLiteral("100"));
    // Below 1 the baseline tables cannot get coarser: -5 and 0 write quality 1's file.
    ASSERT_TRUE(writer.saveJpeg(picture, path(QStringLiteral("qm5.jpg")), -5));
    ASSERT_TRUE(writer.saveJpeg(picture, path(QStringLiteral("q1.jpg")), 1));
    EXPECT_EQ(identify(path(QStringLiteral("qm5.jpg")), QStringLiteral("%Q")), QStringLiteral("1"));
    QFile a(path(QStringLiteral("qm5.jpg"))), b(path(QStringLiteral("q1.jpg")));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}

// A large picture is coded in two bands at once: the same pixels as one pass.
TEST_F(SaveFormats, JpegInTwoBandsDecodesAsOnePass) {
    QImage photo(411, 333, QImage::Format_RGB32); // rows that end mid-MCU
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 7 + y) & 255, (x * y / 9) & 255, (y * 5) & 255));
    const Bitmap view = Bitmap::viewOf(Picture(photo));
    QString names[2];
    for (const JpegPasses passes : {JpegPasses::TwoBandsWhenLarge, JpegPasses::One}) {
        QString& name = names[passes == JpegPasses::One];
        name =
            path(passes == JpegPasses::One ? QStringLiteral("one.jpg") : QStringLiteral("two.jpg"));
        AtomicFile file(name);
        ASSERT_TRUE(file.open());
        ASSERT_EQ(writeJpeg(view, file, 85, passes), 0);
        ASSERT_TRUE(file.commit());
    }
    EXPECT_NE(QFileInfo(names[0]).size(), QFileInfo(names[1]).size()); // banded indeed
    EXPECT_EQ(decodedPixels(names[0]), decodedPixels(names[1]));
    EXPECT_EQ(identify(names[0], QStringLiteral("%wx%h %Q")), QStringLiteral("411x333 85"));
}
