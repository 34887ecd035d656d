#include "imaging/ImageWriter.h"

#include "imaging/AtomicFile.h"
#include "imaging/BmpWriter.h"
#include "imaging/EmfWriter.h"
#include "imaging/GifWriter.h"
#include "imaging/ImagingStatus.h"
#include "imaging/JpegWriter.h"
#include "imaging/PngWriter.h"

#include <algorithm>

namespace kamsulo::imaging {

namespace {

constexpr int NoBitmap = -1; // a selector that names no bitmap
constexpr int LowestQuality = 0;
constexpr int HighestQuality = 100;

// The direct-colour format of a BMP or PNG selector; Indexed8 for the others.
PixelFormat directFormat(BitmapFormat format) {
    switch (format) {
    case BitmapFormat::Rgb555:
        return PixelFormat::Rgb555;
    case BitmapFormat::Rgb565:
        return PixelFormat::Rgb565;
    case BitmapFormat::Rgb24:
        return PixelFormat::Rgb24;
    case BitmapFormat::Rgb32:
        return PixelFormat::Rgb32;
    case BitmapFormat::Argb32:
        return PixelFormat::Argb32;
    default:
        return PixelFormat::Indexed8;
    }
}

// The picture's own 32-bit rows, without a copy.
int viewOf(const Picture& picture, Bitmap& bitmap) {
    bitmap = Bitmap::viewOf(picture);
    return Ok;
}

} // namespace

bool ImageWriter::fail(SaveFailure failure, int systemError) {
    failure_ = failure;
    systemError_ = systemError;
    return false;
}

int ImageWriter::bitmapFor(const Picture& picture, BitmapFormat format, Bitmap& bitmap) {
    switch (format) {
    case BitmapFormat::Indexed1:
        return conversion_.toFixedPalette(picture, bitmap, PixelFormat::Indexed1);
    case BitmapFormat::Indexed4:
        return conversion_.toFixedPalette(picture, bitmap, PixelFormat::Indexed4);
    case BitmapFormat::Indexed8:
        return conversion_.toFixedPalette(picture, bitmap, PixelFormat::Indexed8);
    case BitmapFormat::Gray8:
        return conversion_.toGrayLevels(picture, bitmap);
    case BitmapFormat::Octree8:
        return conversion_.toOctreePalette(picture, bitmap);
    case BitmapFormat::Rgb555:
        return conversion_.toDirectColor(picture, bitmap, PixelFormat::Rgb555);
    case BitmapFormat::Rgb565:
        return conversion_.toDirectColor(picture, bitmap, PixelFormat::Rgb565);
    case BitmapFormat::Rgb24:
        return conversion_.toDirectColor(picture, bitmap, PixelFormat::Rgb24);
    case BitmapFormat::Rgb32:
        return conversion_.toDirectColor(picture, bitmap, PixelFormat::Rgb32);
    case BitmapFormat::Argb32:
        return conversion_.toDirectColor(picture, bitmap, PixelFormat::Argb32);
    }
    return NoBitmap;
}

bool ImageWriter::save(const QImage& image, const QString& fileName, const Build& build,
                       const Encode& encode) {
    failure_ = SaveFailure::None;
    systemError_ = 0;
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return fail(SaveFailure::NoPicture);
    if (fileName.isEmpty()) return fail(SaveFailure::NoFileName);

    const Picture picture(image);
    if (picture.isNull()) return fail(SaveFailure::OutOfMemory);
    Bitmap bitmap;
    const int built = build(picture, bitmap);
    if (built == NoBitmap) return fail(SaveFailure::UnsupportedFormat);
    if (checkStatus(built) != Ok || bitmap.isNull())
        return fail(built == OutOfMemory ? SaveFailure::OutOfMemory : SaveFailure::Encoder);

    AtomicFile file(fileName);
    if (!file.open())
        return fail(file.refusedForeignLink() ? SaveFailure::ForeignLink : SaveFailure::FileSystem,
                    file.error());
    const int status = checkStatus(encode(bitmap, file));
    if (status == SystemError || (status == Ok && file.failed()))
        return fail(SaveFailure::FileSystem, file.error());
    if (status == OutOfMemory) return fail(SaveFailure::OutOfMemory);
    if (status != Ok) return fail(SaveFailure::Encoder);
    if (!file.commit()) {
        checkStatus(SystemError);
        return fail(SaveFailure::FileSystem, file.error());
    }
    return true;
}

bool ImageWriter::saveBmp(const QImage& image, const QString& fileName, BitmapFormat format) {
    const PixelFormat direct = directFormat(format);
    if (direct != PixelFormat::Indexed8)
        // The writer converts the picture's rows on the way to the file.
        return save(
            image, fileName, [](const Picture& p, Bitmap& b) { return viewOf(p, b); },
            [direct](const Bitmap& b, AtomicFile& f) { return writeBmp(b, direct, f); });
    return save(
        image, fileName, [&](const Picture& p, Bitmap& b) { return bitmapFor(p, format, b); },
        [](const Bitmap& b, AtomicFile& f) { return writeBmp(b, f); });
}

bool ImageWriter::savePng(const QImage& image, const QString& fileName, BitmapFormat format) {
    // A PNG stores 24- and 32-bit RGB alike; the writer reads them from the
    // picture's own rows.
    const bool rgb = format == BitmapFormat::Rgb24 || format == BitmapFormat::Rgb32;
    return save(
        image, fileName,
        [&](const Picture& p, Bitmap& b) { return rgb ? viewOf(p, b) : bitmapFor(p, format, b); },
        [](const Bitmap& b, AtomicFile& f) { return writePng(b, f); });
}

bool ImageWriter::saveGif(const QImage& image, const QString& fileName, GifPalette palette) {
    return save(
        image, fileName,
        [&](const Picture& p, Bitmap& b) {
            switch (palette) {
            case GifPalette::Fixed:
                return conversion_.toFixedPalette(p, b, PixelFormat::Indexed8);
            case GifPalette::GrayLevels:
                return conversion_.toGrayLevels(p, b);
            case GifPalette::Octree:
                return conversion_.toOctreePalette(p, b);
            }
            return NoBitmap;
        },
        [](const Bitmap& b, AtomicFile& f) { return writeGif(b, f); });
}

bool ImageWriter::saveJpeg(const QImage& image, const QString& fileName, int quality) {
    const int clamped = std::clamp(quality, LowestQuality, HighestQuality);
    return save(
        image, fileName,
        // The encoder reads the 32-bit rows as they are and takes the same colours
        // from them as from their 24-bit conversion, without the copy.
        [](const Picture& p, Bitmap& b) { return viewOf(p, b); },
        [clamped](const Bitmap& b, AtomicFile& f) { return writeJpeg(b, f, clamped); });
}

bool ImageWriter::saveTiff(const QImage& image, const QString& fileName,
                           TiffCompression compression, TiffColorDepth depth) {
    if (!isKnown(compression)) {
        if (image.isNull() || fileName.isEmpty())
            return fail(image.isNull() ? SaveFailure::NoPicture : SaveFailure::NoFileName);
        return fail(SaveFailure::UnsupportedFormat);
    }
    return save(
        image, fileName,
        [&](const Picture& p, Bitmap& b) {
            if (isCcitt(compression))
                return conversion_.toFixedPalette(p, b, PixelFormat::Indexed1);
            switch (depth) {
            case TiffColorDepth::Indexed1:
                return conversion_.toFixedPalette(p, b, PixelFormat::Indexed1);
            case TiffColorDepth::Indexed4:
                return conversion_.toFixedPalette(p, b, PixelFormat::Indexed4);
            case TiffColorDepth::Indexed8:
                return conversion_.toFixedPalette(p, b, PixelFormat::Indexed8);
            case TiffColorDepth::Octree8:
                return conversion_.toOctreePalette(p, b);
            case TiffColorDepth::Rgb24:
                return conversion_.toDirectColor(p, b, PixelFormat::Rgb24);
            case TiffColorDepth::Rgb32:
                return conversion_.toDirectColor(p, b, PixelFormat::Rgb32);
            }
            return NoBitmap;
        },
        [compression](const Bitmap& b, AtomicFile& f) { return writeTiff(b, f, compression); });
}

bool ImageWriter::saveEmf(const QImage& image, const QString& fileName, EmfType type,
                          const QString& description) {
    const bool knownType = type >= EmfType::EmfOnly && type <= EmfType::EmfPlusDual;
    return save(
        image, fileName,
        [&](const Picture& p, Bitmap& b) {
            return knownType ? conversion_.toDirectColor(p, b, PixelFormat::Rgb24) : NoBitmap;
        },
        [&description](const Bitmap& b, AtomicFile& f) { return writeEmf(b, f, description); });
}

} // namespace kamsulo::imaging
