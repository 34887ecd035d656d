// Every format against its reference, metafiles at their size, and the bombs.
#include "Samples.h"
#include "imaging/ImagingStatus.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/load/LoadTexts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

TEST(Decode, RasterFormatsMatchTheirReferences) {
    const ImageLoader loader;
    for (const char* name :
         {"rgb.png", "alpha.png", "rgb24.bmp", "rle8.rle", "rle4.bmp", "palette.gif", "lzw.tiff",
          "photo.jpeg", "progressive.jpeg", "icon.ico", "cursor.cur", "upright.jpeg",
          "upright.tiff"}) {
        const LoadResult result = loader.load(sample(name));
        ASSERT_TRUE(result.errorText.isEmpty()) << name << ": " << result.errorText.toStdString();
        EXPECT_EQ(result.picture.format(), QImage::Format_RGB32) << name;
        EXPECT_EQ(rgbBytes(result.picture), reference(name)) << name;
    }
}

// A file cut off in its picture's data is refused in the words of its branch, also where
// the reader would show what it got; files their readers merely warn about are whole.
TEST(Decode, FilesCutOffAreRefused) {
    QTemporaryDir dir;
    const QString damaged =
        withStatusText(QString::fromUtf16(LoadText::CannotReadFile), UnknownImageFormat);
    const QString loaderFailed = QString::fromUtf16(LoadText::PictureLoaderFailed);
    const std::pair<const char*, QString> cuts[] = {
        {"photo.jpeg", damaged},    {"progressive.jpeg", damaged}, {"palette.gif", damaged},
        {"rgb.png", damaged},       {"lzw.tiff", damaged},         {"rgb24.bmp", loaderFailed},
        {"rle8.rle", loaderFailed},
    };
    const ImageLoader loader;
    for (const auto& [name, refusal] : cuts) {
        const QByteArray whole = contents(sample(name));
        const QString cut = writeFile(dir, name, whole.left(whole.size() * 3 / 4));
        const LoadResult result = loader.load(cut);
        EXPECT_EQ(result.errorText, refusal) << name;
        EXPECT_TRUE(result.picture.isNull()) << name;
    }
    for (const char* name : {"junk-before-end.jpeg", "no-trailer.gif"})
        EXPECT_EQ(rgbBytes(loader.load(sample(name)).picture), reference(name)) << name;
}

TEST(Decode, MetafilesAreDrawnAtTheirSize) {
    const ImageLoader loader;
    const LoadResult emf = loader.load(sample("picture.emf"));
    ASSERT_EQ(emf.picture.size(), QSize(37, 23)) << emf.errorText.toStdString();
    EXPECT_EQ(rgbBytes(emf.picture), reference("picture.emf"));
    // A page filled red, in the anisotropic mapping mode without extents of its own.
    const QImage page = loader.load(sample("pstoedit.emf")).picture;
    ASSERT_FALSE(page.isNull());
    for (QPoint inside :
         {QPoint(2, 2), page.rect().center(), QPoint(-3, -3) + page.rect().bottomRight()})
        EXPECT_EQ(page.pixel(inside), qRgb(255, 0, 0)) << inside.x() << "," << inside.y();

    const QImage wmf = loader.load(sample("rect.wmf")).picture;
    ASSERT_EQ(wmf.size(), QSize(96, 64));
    EXPECT_EQ(wmf.pixel(36, 24), qRgb(255, 0, 0));
    for (QPoint paper : {QPoint(0, 0), QPoint(22, 24), QPoint(50, 24), QPoint(36, 14),
                         QPoint(36, 34), QPoint(95, 63)})
        EXPECT_EQ(wmf.pixel(paper), qRgb(255, 255, 255)) << paper.x() << "," << paper.y();
    // A metafile's own logical window fills the picture as the placeable box would.
    EXPECT_EQ(loader.load(sample("window.wmf")).picture, wmf);
    EXPECT_EQ(loader.load(sample("flipped.wmf")).picture, wmf);
}

TEST(Decode, BombsAreRefusedBeforeDecoding) {
    const ImageLoader loader;
    const QString tooLarge = QString::fromUtf16(LoadText::TooLarge);
    constexpr qint64 bound = 48 * 1024 * 1024;
    for (const char* name : {"bomb.png", "bomb.wmf"}) {
        const QString file = sample(name);
        LoadResult limited;
        EXPECT_LT(peakGrowth([&] { limited = loader.load(file, QSize(4096, 4096)); }), bound);
        EXPECT_TRUE(limited.tooLarge) << name;
        EXPECT_TRUE(limited.picture.isNull());
        EXPECT_EQ(limited.errorText, tooLarge);

        // Without a limit of the caller's, the decode limit refuses it.
        LoadResult unlimited;
        EXPECT_LT(peakGrowth([&] { unlimited = loader.load(file); }), bound);
        EXPECT_FALSE(unlimited.tooLarge);
        EXPECT_TRUE(unlimited.picture.isNull());
    }
    EXPECT_EQ(loader.load(sample("bomb.png")).errorText,
              withStatusText(QString::fromUtf16(LoadText::CannotReadFile), OutOfMemory));
    EXPECT_EQ(loader.load(sample("bomb.wmf")).errorText,
              QString::fromUtf16(LoadText::PictureLoaderFailed));
    // Bitmaps and records inside a metafile claiming more than the file could hold, and
    // bitmaps the metafile reader would spin on: a header of no size, a destination far
    // beyond the picture, a mirrored one; a header whose description the converter would
    // read up to a terminator past the file's end.
    for (const char* name : {"bitmap-bomb.wmf", "bitmap-after-end.wmf", "bitmap-overflow.wmf",
                             "record-bomb.wmf", "bitmap-header-zero.wmf", "stretch-bomb.wmf",
                             "mirrored-bitmap.wmf", "description-unbounded.emf"}) {
        LoadResult bomb;
        EXPECT_LT(peakGrowth([&] { bomb = loader.load(sample(name)); }), bound) << name;
        EXPECT_EQ(bomb.errorText, QString::fromUtf16(LoadText::PictureLoaderFailed)) << name;
    }
    // Records that make the metafile reader ask for 2 GB for a tiny bitmap: drawn without it.
    LoadResult drawn;
    EXPECT_LT(peakGrowth([&] { drawn = loader.load(sample("reader-bomb.wmf")); }), bound);
    EXPECT_EQ(drawn.picture.size(), QSize(16, 12));
    // So does a decode limit below an ordinary picture.
    LoaderOptions small;
    small.decodeLimitBytes = 1000;
    EXPECT_EQ(ImageLoader(small).load(sample("rgb.png")).errorText,
              withStatusText(QString::fromUtf16(LoadText::CannotReadFile), OutOfMemory));
}
