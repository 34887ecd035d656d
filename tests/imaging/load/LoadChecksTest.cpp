// The checks before decoding, the extension table, and the German texts.
#include "Samples.h"
#include "imaging/ImagingStatus.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/load/LoadTexts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

QString text(const char16_t* t) {
    return QString::fromUtf16(t);
}

const QString damagedPng = withStatusText(text(LoadText::CannotReadFile), UnknownImageFormat);

} // namespace

TEST(LoadChecks, NameAndFileAreCheckedBeforeDecoding) {
    const ImageLoader loader;
    QTemporaryDir dir;
    const LoadResult empty = loader.load(QStringLiteral("   "));
    EXPECT_TRUE(empty.picture.isNull());
    EXPECT_TRUE(empty.errorText.isEmpty());
    EXPECT_FALSE(empty.tooLarge);

    EXPECT_FALSE(loader.load(QStringLiteral("  ") + sample("rgb.png") + QStringLiteral("  "))
                     .picture.isNull());
    EXPECT_EQ(loader.load(QStringLiteral(" a.bm ")).errorText, text(LoadText::BadFileName));
    EXPECT_EQ(loader.load(dir.filePath("none.png")).errorText, text(LoadText::FileMissing));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
    EXPECT_EQ(loader.load(dir.filePath("folder.png")).errorText, text(LoadText::FileMissing));

    EXPECT_EQ(loader.load(writeFile(dir, "x.png", "123456789")).errorText,
              text(LoadText::EmptyFile));
    // Ten bytes reach the decoder; so do hidden and read-only files.
    EXPECT_EQ(loader.load(writeFile(dir, "y.png", "1234567890")).errorText, damagedPng);
    EXPECT_EQ(loader.load(writeFile(dir, ".hidden.png", "1234567890")).errorText, damagedPng);
    const QString readOnly = writeFile(dir, "r.png", "1234567890");
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    EXPECT_EQ(loader.load(readOnly).errorText, damagedPng);
    EXPECT_EQ(loader.load(writeFile(dir, "z.txt", "1234567890")).errorText,
              text(LoadText::UnsupportedFormat));
}

TEST(LoadChecks, ExtensionPicksTheBranch) {
    EXPECT_EQ(extensionClass("a.JPEG"), ExtensionClass::ImagingFormat);
    EXPECT_EQ(extensionClass("a.jPeG"), ExtensionClass::ImagingFormat);
    EXPECT_EQ(extensionClass("b.Jfif"), ExtensionClass::ImagingFormat);
    EXPECT_EQ(extensionClass("b.tif"), ExtensionClass::ImagingFormat);
    EXPECT_EQ(extensionClass("c.RLE"), ExtensionClass::Bitmap);
    EXPECT_EQ(extensionClass("d.cur"), ExtensionClass::IconOrMetafile);
    EXPECT_EQ(extensionClass("e.txt"), ExtensionClass::Unsupported);
    EXPECT_EQ(extensionClass("fjpeg"), ExtensionClass::Unsupported);

    const LoaderOptions platform;
    LoaderOptions imaging;
    imaging.bitmapsViaImagingLibrary = true;
    EXPECT_EQ(decoderBranch(ExtensionClass::Bitmap, platform),
              DecoderBranch::PlatformPictureLoader);
    EXPECT_EQ(decoderBranch(ExtensionClass::Bitmap, imaging), DecoderBranch::ImagingLibrary);
    EXPECT_EQ(decoderBranch(ExtensionClass::IconOrMetafile, imaging),
              DecoderBranch::PlatformPictureLoader);
    EXPECT_EQ(decoderBranch(ExtensionClass::ImagingFormat, platform),
              DecoderBranch::ImagingLibrary);
    EXPECT_EQ(decoderBranch(ExtensionClass::Unsupported, imaging), DecoderBranch::Refused);

    // The same damaged bytes (a PNG cut off in its data) fail in the words of the
    // branch that read them.
    QTemporaryDir dir;
    QFile png(sample("rgb.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray damaged = png.read(png.size() / 2);
    const QString loaderFailed = text(LoadText::PictureLoaderFailed);
    EXPECT_EQ(ImageLoader().load(writeFile(dir, "d.png", damaged)).errorText, damagedPng);
    EXPECT_EQ(ImageLoader().load(writeFile(dir, "d.bmp", damaged)).errorText, loaderFailed);
    EXPECT_EQ(ImageLoader(imaging).load(dir.filePath("d.bmp")).errorText, damagedPng);
    EXPECT_EQ(ImageLoader(imaging).load(writeFile(dir, "d.wmf", damaged)).errorText, loaderFailed);
}

TEST(LoadChecks, StatusTextsAndTheirLine) {
    EXPECT_EQ(loaderStatusText(UnknownImageFormat), QStringLiteral("unbekanntes Bildformat"));
    EXPECT_EQ(loaderStatusText(OutOfMemory), QStringLiteral("Speichermangel"));
    EXPECT_EQ(loaderStatusText(20), QStringLiteral("Eigenschaft wird nicht unterstützt"));
    for (int silent : {0, 6, 14, 15, 16, 21, -1})
        EXPECT_TRUE(loaderStatusText(silent).isEmpty()) << silent;
    EXPECT_EQ(damagedPng, QStringLiteral("Bitmap kann nicht aus Bild-Datei erstellt werden\r\n"
                                         "unbekanntes Bildformat"));
    EXPECT_EQ(withStatusText(text(LoadText::CannotReadFile), NotImplemented),
              QStringLiteral("Bitmap kann nicht aus Bild-Datei erstellt werden\r\n"));
}

// The content picks the reader, but only among the listed formats: whatever its name
// says, a file in another format that Qt reads is refused as of an unknown format.
TEST(LoadChecks, ContentPicksAmongTheListedFormatsOnly) {
    QTemporaryDir dir;
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8">)"
                           R"(<rect width="8" height="8"/></svg>)";
    const QByteArray ppm = QByteArray("P6\n2 2\n255\n") + QByteArray(12, '\x7f');
    const QString loaderFailed = text(LoadText::PictureLoaderFailed);
    const struct {
        const char* name;
        QByteArray bytes;
        QString refusal; // empty: it opens as its sample
        const char* sample;
    } files[] = {
        {"drawing.png", svg, damagedPng, nullptr},
        {"drawing.bmp", svg, loaderFailed, nullptr},
        {"pixels.jpg", ppm, damagedPng, nullptr},
        {"pixels.tif", ppm, damagedPng, nullptr},
        {"photo.bmp", contents(sample("photo.jpeg")), {}, "photo.jpeg"},
        {"rgb.gif", contents(sample("rgb.png")), {}, "rgb.png"},
    };
    for (const auto& file : files) {
        const LoadResult result = ImageLoader().load(writeFile(dir, file.name, file.bytes));
        EXPECT_EQ(result.errorText, file.refusal) << file.name;
        if (file.sample) {
            EXPECT_EQ(rgbBytes(result.picture), reference(file.sample)) << file.name;
        }
    }
}
