// The encoder wrapper on random pictures, file types and selectors. A save with
// selectors the wrapper knows must succeed, one with others must fail with a
// German reason and leave no file. Each file written is read back by the
// program's own loader; where the format keeps the converted pixels exactly
// (BMP, PNG, GIF, TIFF) every pixel is compared with the conversion the save
// made, JPEG and EMF only by their size.
#include "FuzzSupport.h"
#include "WriterInput.h"
#include "imaging/ImageWriter.h"
#include "imaging/ImagingStatus.h"
#include "imaging/load/ImageLoader.h"

#include <QDir>
#include <QFile>
#include <optional>

using namespace kamsulo;
using namespace kamsulo::fuzz;
using imaging::PixelFormat;

namespace {

constexpr int JpegQualityShift = 20; // qualities from -20 on, to reach the clamping
constexpr int MetafileSizeSlack = 1; // pixels lost or won by the 0.01 mm frame

const char* const Endings[] = {".bmp", ".png", ".gif", ".jpg", ".tif", ".emf"};

// The conversion a save makes before encoding; none for an unknown selector.
using Conversion = std::optional<
    std::function<int(imaging::PixelConversion&, const imaging::Picture&, imaging::Bitmap&)>>;

Conversion fixedPalette(PixelFormat format) {
    return [format](imaging::PixelConversion& c, const imaging::Picture& p, imaging::Bitmap& b) {
        return c.toFixedPalette(p, b, format);
    };
}
Conversion directColor(PixelFormat format) {
    return [format](imaging::PixelConversion& c, const imaging::Picture& p, imaging::Bitmap& b) {
        return c.toDirectColor(p, b, format);
    };
}
Conversion grayLevels() {
    return [](imaging::PixelConversion& c, const imaging::Picture& p, imaging::Bitmap& b) {
        return c.toGrayLevels(p, b);
    };
}
Conversion octreePalette() {
    return [](imaging::PixelConversion& c, const imaging::Picture& p, imaging::Bitmap& b) {
        return c.toOctreePalette(p, b);
    };
}

Conversion bitmapConversion(int format) {
    switch (imaging::BitmapFormat(format)) {
    case imaging::BitmapFormat::Indexed1:
        return fixedPalette(PixelFormat::Indexed1);
    case imaging::BitmapFormat::Indexed4:
        return fixedPalette(PixelFormat::Indexed4);
    case imaging::BitmapFormat::Indexed8:
        return fixedPalette(PixelFormat::Indexed8);
    case imaging::BitmapFormat::Gray8:
        return grayLevels();
    case imaging::BitmapFormat::Octree8:
        return octreePalette();
    case imaging::BitmapFormat::Rgb555:
        return directColor(PixelFormat::Rgb555);
    case imaging::BitmapFormat::Rgb565:
        return directColor(PixelFormat::Rgb565);
    case imaging::BitmapFormat::Rgb24:
        return directColor(PixelFormat::Rgb24);
    case imaging::BitmapFormat::Rgb32:
        return directColor(PixelFormat::Rgb32);
    case imaging::BitmapFormat::Argb32:
        return directColor(PixelFormat::Argb32);
    }
    return std::nullopt;
}

Conversion gifConversion(int palette) {
    switch (imaging::GifPalette(palette)) {
    case imaging::GifPalette::Fixed:
        return fixedPalette(PixelFormat::Indexed8);
    case imaging::GifPalette::GrayLevels:
        return grayLevels();
    case imaging::GifPalette::Octree:
        return octreePalette();
    }
    return std::nullopt;
}

Conversion tiffConversion(imaging::TiffCompression compression, int depth) {
    if (!imaging::isKnown(compression)) return std::nullopt;
    if (imaging::isCcitt(compression)) return fixedPalette(PixelFormat::Indexed1);
    switch (imaging::TiffColorDepth(depth)) {
    case imaging::TiffColorDepth::Indexed1:
        return fixedPalette(PixelFormat::Indexed1);
    case imaging::TiffColorDepth::Indexed4:
        return fixedPalette(PixelFormat::Indexed4);
    case imaging::TiffColorDepth::Indexed8:
        return fixedPalette(PixelFormat::Indexed8);
    case imaging::TiffColorDepth::Octree8:
        return octreePalette();
    case imaging::TiffColorDepth::Rgb24:
        return directColor(PixelFormat::Rgb24);
    case imaging::TiffColorDepth::Rgb32:
        return directColor(PixelFormat::Rgb32);
    }
    return std::nullopt;
}

// A pixel of a converted bitmap as red, green and blue, each with the bits it
// keeps (5 or 6 for the 16-bit formats).
struct Channels {
    std::array<int, 3> value{}; // red, green, blue
    std::array<int, 3> bits{8, 8, 8};
};

Channels pixelOf(const imaging::Bitmap& bitmap, int x, int y) {
    const std::uint8_t* row = bitmap.scanLine(y);
    const auto indexed = [&](int index) {
        const imaging::PaletteEntry& e = bitmap.palette.entries.at(std::size_t(index));
        return Channels{{e.red, e.green, e.blue}};
    };
    const auto word = [&] { return row[2 * x] | row[2 * x + 1] << 8; };
    switch (bitmap.format()) {
    case PixelFormat::Indexed1:
        return indexed(row[x / 8] >> (7 - x % 8) & 1);
    case PixelFormat::Indexed4:
        return indexed(row[x / 2] >> (x % 2 ? 0 : 4) & 0xf);
    case PixelFormat::Indexed8:
        return indexed(row[x]);
    case PixelFormat::Rgb555:
        return {{word() >> 10 & 31, word() >> 5 & 31, word() & 31}, {5, 5, 5}};
    case PixelFormat::Rgb565:
        return {{word() >> 11 & 31, word() >> 5 & 63, word() & 31}, {5, 6, 5}};
    case PixelFormat::Rgb24:
        return {{row[3 * x + 2], row[3 * x + 1], row[3 * x]}};
    case PixelFormat::Rgb32:
    case PixelFormat::Argb32:
        return {{row[4 * x + 2], row[4 * x + 1], row[4 * x]}};
    }
    fail("unknown pixel format");
}

void comparePixels(const QImage& loaded, const imaging::Bitmap& expected) {
    for (int y = 0; y < loaded.height(); ++y)
        for (int x = 0; x < loaded.width(); ++x) {
            const QRgb got = loaded.pixel(x, y);
            const std::array<int, 3> gotValue{qRed(got), qGreen(got), qBlue(got)};
            const Channels want = pixelOf(expected, x, y);
            for (std::size_t c = 0; c < 3; ++c)
                if (gotValue[c] >> (8 - want.bits[c]) != want.value[c])
                    fail("pixel read back", QStringLiteral("(%1, %2) channel %3: %4, expected %5 "
                                                           "of %6 bits")
                                                .arg(x)
                                                .arg(y)
                                                .arg(c)
                                                .arg(gotValue[c])
                                                .arg(want.value[c])
                                                .arg(want.bits[c]));
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
    bool known = true;
    Conversion conversion;
    switch (input.type) {
    case FileType::Bmp:
    case FileType::Png:
        conversion = bitmapConversion(input.selector % 12);
        known = conversion.has_value();
        saved = input.type == FileType::Bmp
                    ? writer.saveBmp(image, path, imaging::BitmapFormat(input.selector % 12))
                    : writer.savePng(image, path, imaging::BitmapFormat(input.selector % 12));
        break;
    case FileType::Gif:
        conversion = gifConversion(input.selector % 4);
        known = conversion.has_value();
        saved = writer.saveGif(image, path, imaging::GifPalette(input.selector % 4));
        break;
    case FileType::Jpeg:
        saved = writer.saveJpeg(image, path, input.selector - JpegQualityShift);
        break;
    case FileType::Tiff: {
        const auto compression = imaging::TiffCompression(input.selector % 8);
        conversion = tiffConversion(compression, input.depth % 7);
        known = conversion.has_value();
        saved = writer.saveTiff(image, path, compression, imaging::TiffColorDepth(input.depth % 7));
        break;
    }
    case FileType::Emf: {
        const auto type = imaging::EmfType(input.selector % 8);
        known = type >= imaging::EmfType::EmfOnly && type <= imaging::EmfType::EmfPlusDual;
        saved = writer.saveEmf(image, path, type,
                               input.depth % 2 ? QStringLiteral("Kamsulo") : QString());
        break;
    }
    case FileType::Count:
        break;
    }

    check(saved == known, saved ? "saved with an unknown selector" : "save failed",
          writer.lastError());
    check(saved == writer.lastError().isEmpty(), "a reason exactly for a failure");
    if (!saved) {
        check(QDir(scratchDir()).isEmpty(), "nothing left by a failed save");
        return 0;
    }

    const imaging::LoadResult loaded = imaging::ImageLoader().load(path);
    check(QFile::remove(path) && QDir(scratchDir()).isEmpty(), "only the file itself written");
    check(loaded.errorText.isEmpty(), "read back", loaded.errorText);
    const QSize want = image.size();
    if (input.type == FileType::Emf) {
        check(std::abs(loaded.picture.width() - want.width()) <= MetafileSizeSlack &&
                  std::abs(loaded.picture.height() - want.height()) <= MetafileSizeSlack,
              "metafile size");
        return 0;
    }
    check(loaded.picture.size() == want, "size read back");
    if (!conversion) return 0; // JPEG
    imaging::PixelConversion pixels;
    imaging::Bitmap expected;
    check((*conversion)(pixels, imaging::Picture(image), expected) == imaging::Ok, "conversion");
    comparePixels(loaded.picture, expected);
    return 0;
}
