// Every selector of ImageWriter, read back by ImageMagick, file(1), tiffinfo and
// emf2svg-conv.
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
    // The bitmap the selector of the bitmap-format table stands for.
    Bitmap converted(int selector) {
        PixelConversion conversion;
        Bitmap b;
        const Picture p(picture);
        static constexpr PixelFormat formats[] = {PixelFormat::Indexed1, PixelFormat::Indexed4,
                                                  PixelFormat::Indexed8, PixelFormat::Indexed8,
                                                  PixelFormat::Indexed8, PixelFormat::Rgb555,
                                                  PixelFormat::Rgb565,   PixelFormat::Rgb24,
                                                  PixelFormat::Rgb32,    PixelFormat::Argb32};
        if (selector <= 2) conversion.toFixedPalette(p, b, formats[selector]);
        if (selector == 3) conversion.toGrayLevels(p, b);
        if (selector == 4) conversion.toOctreePalette(p, b);
        if (selector >= 5) conversion.toDirectColor(p, b, formats[selector]);
        return b;
    }
    static BitmapFormat format(int selector) { return static_cast<BitmapFormat>(selector); }
    static TiffCompression tiff(int value) { return static_cast<TiffCompression>(value); }
    static TiffColorDepth tiffDepth(int value) { return static_cast<TiffColorDepth>(value); }

    QTemporaryDir dir;
    QImage picture = testPicture();
    ImageWriter writer;
};

} // namespace

TEST_F(SaveFormats, BmpHasTheDepthAndPixelsOfEverySelector) {
    const char* depths[] = {
        "x 1,",  "x 4,",  "x 8,", "x 8,", "x 8,", "x 16,", "x 16, 3 compression",
        "x 24,", "x 32,", "x 32"};
    const int colormaps[] = {2, 16, 256, 256, 256, 0, 0, 0, 0, 0};
    for (int selector = 0; selector <= 9; ++selector) {
        SCOPED_TRACE(selector);
        const QString file = path(QStringLiteral("s%1.bmp").arg(selector));
        ASSERT_TRUE(writer.saveBmp(picture, file, format(selector)))
            << writer.lastError().toStdString();
        EXPECT_TRUE(
            run(QStringLiteral("file"), {file}).out.contains(QLatin1String(depths[selector])))
            << run(QStringLiteral("file"), {file}).out.toStdString();
        const QString verbose = identifyVerbose(file);
        if (colormaps[selector] > 0) {
            EXPECT_EQ(field(verbose, QStringLiteral("Colormap entries")).toInt(),
                      colormaps[selector]);
        }
        const bool alpha = selector == 9;
        const Bitmap expected = converted(selector);
        // ImageMagick widens 5-bit channels by rounding, not by repeating bits.
        EXPECT_LE(maxDifference(decodedPixels(file, alpha), expectedRgb(expected, alpha)),
                  selector == 5 || selector == 6 ? 4 : 0);
    }
    EXPECT_EQ(field(identifyVerbose(path(QStringLiteral("s9.bmp"))), QStringLiteral("Type")),
              QStringLiteral("TrueColorAlpha"));
    // 24 bits keep the picture exactly.
    EXPECT_EQ(decodedPixels(path(QStringLiteral("s7.bmp"))), expectedRgb(converted(7)));
}

TEST_F(SaveFormats, PngHasTheDepthAndPixelsOfEverySelector) {
    // bit depth, colour type, palette entries
    const int header[10][3] = {{1, 3, 2}, {4, 3, 16}, {8, 3, 256}, {8, 0, 0}, {8, 3, 256},
                               {8, 2, 0}, {8, 2, 0},  {8, 2, 0},   {8, 2, 0}, {8, 6, 0}};
    for (int selector = 0; selector <= 9; ++selector) {
        SCOPED_TRACE(selector);
        const QString file = path(QStringLiteral("s%1.png").arg(selector));
        ASSERT_TRUE(writer.savePng(picture, file, format(selector)))
            << writer.lastError().toStdString();
        const QString verbose = identifyVerbose(file);
        EXPECT_EQ(field(verbose, QStringLiteral("png:IHDR.bit-depth-orig")).toInt(),
                  header[selector][0]);
        EXPECT_EQ(field(verbose, QStringLiteral("png:IHDR.color-type-orig")).toInt(),
                  header[selector][1]);
        if (header[selector][2] > 0) {
            EXPECT_EQ(field(verbose, QStringLiteral("png:PLTE.number_colors")).toInt(),
                      header[selector][2]);
        }
        const bool alpha = selector == 9;
        EXPECT_EQ(decodedPixels(file, alpha), expectedRgb(converted(selector), alpha));
    }
    EXPECT_FALSE(writer.savePng(picture, path(QStringLiteral("s10.png")), format(10)));
    EXPECT_FALSE(writer.saveBmp(picture, path(QStringLiteral("s-1.bmp")), format(-1)));
}

TEST_F(SaveFormats, GifSelectorsAndTheOctreePalette) {
    PixelConversion conversion;
    Bitmap expected[3];
    conversion.toFixedPalette(Picture(picture), expected[0], PixelFormat::Indexed8);
    conversion.toGrayLevels(Picture(picture), expected[1]);
    conversion.toOctreePalette(Picture(picture), expected[2]);
    for (int selector = 0; selector <= 2; ++selector) {
        SCOPED_TRACE(selector);
        const QString file = path(QStringLiteral("s%1.gif").arg(selector));
        ASSERT_TRUE(writer.saveGif(picture, file, static_cast<GifPalette>(selector)));
        const QString verbose = identifyVerbose(file);
        EXPECT_EQ(field(verbose, QStringLiteral("Colormap entries")).toInt(), 256);
        EXPECT_EQ(decodedPixels(file), expectedRgb(expected[selector]));
    }
    // The octree palette of a picture with few colours keeps them all.
    QImage few(25, 10, QImage::Format_RGB32); // 250 colours
    for (int x = 0; x < 25; ++x)
        for (int y = 0; y < 10; ++y)
            few.setPixel(x, y, qRgb(x * 6, 255 - y * 20, (x * y) % 7));
    ASSERT_TRUE(writer.saveGif(few, path(QStringLiteral("few.gif")), GifPalette::Octree));
    Bitmap few24;
    conversion.toDirectColor(Picture(few), few24, PixelFormat::Rgb24);
    EXPECT_EQ(decodedPixels(path(QStringLiteral("few.gif"))), expectedRgb(few24));
    // Noise fills the LZW table many times over: every code width and restart.
    QImage noise(240, 160, QImage::Format_RGB32);
    std::uint32_t state = 1;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, state >> 8);
        }
    Bitmap noise8;
    conversion.toFixedPalette(Picture(noise), noise8, PixelFormat::Indexed8);
    ASSERT_TRUE(writer.saveGif(noise, path(QStringLiteral("noise.gif")), GifPalette::Fixed));
    EXPECT_EQ(decodedPixels(path(QStringLiteral("noise.gif"))), expectedRgb(noise8));
    EXPECT_FALSE(
        writer.saveGif(picture, path(QStringLiteral("s3.gif")), static_cast<GifPalette>(3)));
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
    ASSERT_TRUE(writer.savePng(smooth, source, BitmapFormat::Rgb24));
    ASSERT_TRUE(writer.saveJpeg(smooth, path(QStringLiteral("q85.jpg")), 85));
    EXPECT_EQ(identify(path(QStringLiteral("q85.jpg")), QStringLiteral("%Q")),
              QStringLiteral("85"));
    EXPECT_GT(psnr(source, path(QStringLiteral("q85.jpg"))), 30.0);
    // The writer encodes the picture's 32-bit rows; that must be the very file
    // the 24-bit conversion gives.
    {
        PixelConversion conversion;
        Bitmap rgb;
        ASSERT_EQ(conversion.toDirectColor(Picture(smooth), rgb, PixelFormat::Rgb24), 0);
        AtomicFile file(path(QStringLiteral("from24.jpg")));
        ASSERT_TRUE(file.open());
        ASSERT_EQ(writeJpeg(rgb, file, 85), 0);
        ASSERT_TRUE(file.commit());
        QFile a(path(QStringLiteral("from24.jpg"))), b(path(QStringLiteral("q85.jpg")));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll());
    }
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
    Bitmap view;
    ASSERT_EQ(PixelConversion().toDirectColor(Picture(photo), view, PixelFormat::Rgb24), 0);
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

TEST_F(SaveFormats, TiffCompressionsAndDepths) {
    const char* names[] = {"LZW", "CCITT Group 3", "CCITT Group 4", "CCITT RLE", "None"};
    // colour depth selector -> bits/sample, samples/pixel, photometric
    const struct {
        int bits, samples;
        const char* photometric;
        int selector; // of the bitmap-format table, for the pixels
    } depths[] = {{1, 1, "min-is-black", 0}, {4, 1, "palette", 1}, {8, 1, "palette", 2},
                  {8, 1, "palette", 4},      {8, 3, "RGB", 7},     {8, 4, "RGB", 8}};
    for (int compression = 2; compression <= 6; ++compression) {
        for (int depth = 0; depth <= 5; ++depth) {
            SCOPED_TRACE(compression * 10 + depth);
            const QString file = path(QStringLiteral("t%1%2.tif").arg(compression).arg(depth));
            ASSERT_TRUE(writer.saveTiff(picture, file, tiff(compression), tiffDepth(depth)));
            const QString info = tiffinfo(file);
            EXPECT_EQ(field(info, QStringLiteral("Compression Scheme")),
                      QLatin1String(names[compression - 2]));
            const bool bilevel = compression >= 3 && compression <= 5;
            const auto& d = depths[bilevel ? 0 : depth];
            EXPECT_EQ(field(info, QStringLiteral("Bits/Sample")).toInt(), d.bits);
            EXPECT_EQ(field(info, QStringLiteral("Samples/Pixel")).toInt(), d.samples);
            EXPECT_TRUE(field(info, QStringLiteral("Photometric Interpretation"))
                            .startsWith(QLatin1String(d.photometric)));
            EXPECT_EQ(decodedPixels(file), expectedRgb(converted(d.selector)));
        }
    }
    const TiffColorDepth rgb24 = TiffColorDepth::Rgb24;
    EXPECT_FALSE(writer.saveTiff(picture, path(QStringLiteral("c1.tif")), tiff(1), rgb24));
    EXPECT_FALSE(writer.saveTiff(picture, path(QStringLiteral("c7.tif")), tiff(7), rgb24));
    EXPECT_FALSE(writer.saveTiff(picture, path(QStringLiteral("d6.tif")), TiffCompression::Lzw,
                                 tiffDepth(6)));
    EXPECT_TRUE(writer.saveTiff(picture, path(QStringLiteral("d6g4.tif")),
                                TiffCompression::CcittGroup4, tiffDepth(6))); // depth ignored
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("c1.tif"))));
}

// Bilevel pictures whose CCITT strips libtiff's reader takes wrongly: like rows
// ending in a white pixel (RLE), rows of single pixels 32 wide (RLE, group 3).
TEST_F(SaveFormats, BilevelTiffReadsBackAsDrawn) {
    for (const int width : {5, 32}) {
        QImage image(width, 3, QImage::Format_RGB32);
        QByteArray drawn;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < width; ++x) {
                const bool white = width == 5 ? y > 0 && x == 4 : (x + y) % 2 == 1;
                image.setPixel(x, y, white ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
                drawn.append(QByteArray(3, white ? char(255) : char(0)));
            }
        for (const int compression : {3, 4, 5}) {
            SCOPED_TRACE(width * 10 + compression);
            const QString file = path(QStringLiteral("bilevel.tif"));
            ASSERT_TRUE(writer.saveTiff(image, file, tiff(compression), TiffColorDepth::Indexed1));
            EXPECT_EQ(decodedPixels(file), drawn);
        }
    }
}

TEST_F(SaveFormats, EmfHoldsThePictureAndTheDescription) {
    const QString file = path(QStringLiteral("pic.emf"));
    ASSERT_TRUE(writer.saveEmf(picture, file, EmfType::EmfOnly, QStringLiteral("abc")));
    const QString svg = path(QStringLiteral("pic.svg"));
    const ProcessResult verbose =
        run(QStringLiteral("emf2svg-conv"),
            {QStringLiteral("-v"), QStringLiteral("-i"), file, QStringLiteral("-o"), svg});
    ASSERT_EQ(verbose.exitCode, 0) << verbose.err.toStdString();
    const QString records = verbose.out + verbose.err;
    EXPECT_EQ(records.count(QStringLiteral("U_EMR_HEADER")), 1);
    EXPECT_EQ(records.count(QStringLiteral("U_EMR_STRETCHDIBITS")), 1);
    EXPECT_EQ(records.count(QStringLiteral("U_EMR_COMMENT")), 1);
    EXPECT_EQ(records.count(QStringLiteral("U_EMR_EOF")), 1);
    EXPECT_EQ(field(records, QStringLiteral("cbData")).toInt(), 6);
    EXPECT_EQ(field(records, QStringLiteral("nBytes")).toLongLong(), QFileInfo(file).size());
    EXPECT_EQ(field(records, QStringLiteral("nRecords")).toInt(), 4);
    EXPECT_TRUE(field(records, QStringLiteral("cSrc")).startsWith(QLatin1String("{37,23}")));

    // The picture inside, decoded from the SVG's embedded PNG, is the picture.
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QByteArray text = svgFile.readAll();
    const QByteArray marker = "data:image/png;base64,";
    const qsizetype at = text.indexOf(marker);
    ASSERT_GE(at, 0);
    const qsizetype end = text.indexOf('"', at);
    QFile png(path(QStringLiteral("inner.png")));
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    png.write(QByteArray::fromBase64(text.mid(at + marker.size(), end - at - marker.size())));
    png.close();
    EXPECT_EQ(decodedPixels(png.fileName()), expectedRgb(converted(7)));

    ASSERT_TRUE(writer.saveEmf(picture, path(QStringLiteral("plain.emf")), EmfType::EmfPlusDual,
                               QString()));
    const ProcessResult plain =
        run(QStringLiteral("emf2svg-conv"),
            {QStringLiteral("-v"), QStringLiteral("-i"), path(QStringLiteral("plain.emf")),
             QStringLiteral("-o"), path(QStringLiteral("plain.svg"))});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ((plain.out + plain.err).count(QStringLiteral("U_EMR_COMMENT")), 0);
    EXPECT_EQ(field(plain.out + plain.err, QStringLiteral("nRecords")).toInt(), 3);
    EXPECT_FALSE(writer.saveEmf(picture, path(QStringLiteral("bad.emf")), static_cast<EmfType>(2),
                                QString()));
}
