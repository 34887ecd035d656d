// The encoder wrapper on random pictures, file types and JPEG qualities: every
// save must succeed. Each file written is read back by the program's own loader;
// where the format keeps the saved pixels exactly (BMP, PNG, GIF) every pixel is
// compared with the picture or its octree conversion, JPEG only by its size.
#include "FuzzSupport.h"
#include "WriterInput.h"
#include "imaging/ImageWriter.h"
#include "imaging/ImagingStatus.h"
#include "imaging/load/ImageLoader.h"

#include <QDir>
#include <QFile>

using namespace kamsulo;
using namespace kamsulo::fuzz;

namespace {

constexpr int JpegQualityShift = 20; // qualities from -20 on, to reach the clamping

const char* const Endings[] = {".bmp", ".png", ".gif", ".jpg"};

void comparePixels(const QImage& loaded, const imaging::Bitmap& expected) {
    for (int y = 0; y < loaded.height(); ++y)
        for (int x = 0; x < loaded.width(); ++x) {
            const std::uint8_t* row = expected.scanLine(y);
            std::array<int, 3> want{}; // red, green, blue
            if (expected.format() == imaging::PixelFormat::Indexed8) {
                const imaging::PaletteEntry& e = expected.palette.entries.at(row[x]);
                want = {e.red, e.green, e.blue};
            } else {
                want = {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
            }
            const QRgb got = loaded.pixel(x, y);
            const std::array<int, 3> gotValue{qRed(got), qGreen(got), qBlue(got)};
            for (std::size_t c = 0; c < 3; ++c)
                if (gotValue[c] != want[c])
                    fail("pixel read back", QStringLiteral("(%1, %2) channel %3: %4, expected %5")
                                                .arg(x)
                                                .arg(y)
                                                .arg(c)
                                                .arg(gotValue[c])
                                                .arg(want[c]));
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const WriterInput input = WriterInput::read(in);
    const QImage image = input.picture();
    const QString path =
        scratchDir() + QStringLiteral("/saved") + QLatin1String(Endings[std::size_t(input.type)]);

    imaging::ImageWriter writer;
    bool saved = false;
    switch (input.type) {
    case FileType::Bmp:
        saved = writer.saveBmp(image, path);
        break;
    case FileType::Png:
        saved = writer.savePng(image, path);
        break;
    case FileType::Gif:
        saved = writer.saveGif(image, path);
        break;
    case FileType::Jpeg:
        saved = writer.saveJpeg(image, path, input.quality - JpegQualityShift);
        break;
    case FileType::Count:
        break;
    }

    check(saved, "save failed", writer.lastError());
    check(writer.lastError().isEmpty(), "no reason after a success");

    const imaging::LoadResult loaded = imaging::ImageLoader().load(path);
    check(QFile::remove(path) && QDir(scratchDir()).isEmpty(), "only the file itself written");
    check(loaded.errorText.isEmpty(), "read back", loaded.errorText);
    check(loaded.picture.size() == image.size(), "size read back");
    const imaging::Picture picture(image);
    if (input.type == FileType::Gif) {
        imaging::PixelConversion pixels;
        imaging::Bitmap expected;
        check(pixels.toOctreePalette(picture, expected) == imaging::Ok, "conversion");
        comparePixels(loaded.picture, expected);
    } else if (input.type != FileType::Jpeg) {
        comparePixels(loaded.picture, imaging::Bitmap::viewOf(picture));
    }
    return 0;
}
