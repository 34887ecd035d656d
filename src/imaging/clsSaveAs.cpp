#include "imaging/clsSaveAs.h"

#include "imaging/AtomicFile.h"
#include "imaging/BmpWriter.h"
#include "imaging/EmfWriter.h"
#include "imaging/GdipStatus.h"
#include "imaging/GifWriter.h"
#include "imaging/JpegWriter.h"
#include "imaging/PngWriter.h"
#include "imaging/TiffWriter.h"

#include <algorithm>

namespace kamsulo::imaging {

namespace {

constexpr int NoBitmap = -1; // a selector that names no bitmap

} // namespace

bool clsSaveAs::fail(SaveFailure failure, int status, int systemError) {
    failure_ = failure;
    status_ = status;
    systemError_ = systemError;
    return false;
}

int clsSaveAs::bitmapFor(const Picture& picture, int selector, Bitmap& bitmap) {
    if (selector >= 0 && selector <= 2)
        return converter_.ConvertTo1_4_8bpp(picture, bitmap, selector);
    if (selector == 3) return converter_.ConvertTo8bppGrayscale(picture, bitmap);
    if (selector == 4) return converter_.ConvertTo8bppOctree(picture, bitmap);
    if (selector >= 5 && selector <= 9)
        return converter_.ConvertTo16_24_32bpp(picture, bitmap, selector);
    return NoBitmap;
}

bool clsSaveAs::save(const QImage& image, const QString& fileName,
                     const std::function<int(const Picture&, Bitmap&)>& build,
                     const Encode& encode) {
    failure_ = SaveFailure::None;
    status_ = Ok;
    systemError_ = 0;
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return fail(SaveFailure::NoPicture, InvalidParameter);
    if (fileName.isEmpty()) return fail(SaveFailure::NoFileName, InvalidParameter);

    const Picture picture(image);
    if (picture.isNull()) return fail(SaveFailure::OutOfMemory, OutOfMemory);
    Bitmap bitmap;
    const int built = build(picture, bitmap);
    if (built == NoBitmap) return fail(SaveFailure::UnsupportedFormat, InvalidParameter);
    if (CheckStatus(built) != Ok || bitmap.isNull())
        return fail(built == OutOfMemory ? SaveFailure::OutOfMemory : SaveFailure::Encoder,
                    built == Ok ? GenericError : built);

    AtomicFile file(fileName);
    if (!file.open()) return fail(SaveFailure::FileSystem, Win32Error, file.error());
    const int status = CheckStatus(encode(bitmap, file));
    if (status == Win32Error || (status == Ok && file.failed()))
        return fail(SaveFailure::FileSystem, Win32Error, file.error());
    if (status == OutOfMemory) return fail(SaveFailure::OutOfMemory, status);
    if (status != Ok) return fail(SaveFailure::Encoder, status);
    if (!file.commit()) return fail(SaveFailure::FileSystem, CheckStatus(Win32Error), file.error());
    return true;
}

bool clsSaveAs::SaveAsBMP(const QImage& InBitmap, const QString& FileName, int eBitmapFormat) {
    return save(
        InBitmap, FileName,
        [&](const Picture& p, Bitmap& b) { return bitmapFor(p, eBitmapFormat, b); },
        [](const Bitmap& b, AtomicFile& f) { return WriteBmp(b, f); });
}

bool clsSaveAs::SaveAsPNG(const QImage& InBitmap, const QString& FileName, int eBitmapFormat) {
    return save(
        InBitmap, FileName,
        [&](const Picture& p, Bitmap& b) { return bitmapFor(p, eBitmapFormat, b); },
        [](const Bitmap& b, AtomicFile& f) { return WritePng(b, f); });
}

bool clsSaveAs::SaveAsGIF(const QImage& InBitmap, const QString& FileName, int eGifFormat) {
    return save(
        InBitmap, FileName,
        [&](const Picture& p, Bitmap& b) {
            switch (eGifFormat) {
            case 0:
                return converter_.ConvertTo1_4_8bpp(p, b, 2);
            case 1:
                return converter_.ConvertTo8bppGrayscale(p, b);
            case 2:
                return converter_.ConvertTo8bppOctree(p, b);
            default:
                return NoBitmap;
            }
        },
        [](const Bitmap& b, AtomicFile& f) { return WriteGif(b, f); });
}

bool clsSaveAs::SaveAsJPEG(const QImage& InBitmap, const QString& FileName, int Quality) {
    const int quality = std::clamp(Quality, 0, 100);
    return save(
        InBitmap, FileName,
        [](const Picture& p, Bitmap& b) {
            // The encoder reads the 32-bit rows as they are and takes the same
            // colours from them as from their 24-bit conversion, without the copy.
            b = Bitmap::viewOf(p);
            return Ok;
        },
        [quality](const Bitmap& b, AtomicFile& f) { return WriteJpeg(b, f, quality); });
}

bool clsSaveAs::SaveAsTIFF(const QImage& InBitmap, const QString& FileName, int eTiffCompression,
                           int eTiffColorDepth) {
    if (eTiffCompression < TiffLzw || eTiffCompression > TiffNone) {
        if (InBitmap.isNull() || FileName.isEmpty())
            return fail(InBitmap.isNull() ? SaveFailure::NoPicture : SaveFailure::NoFileName,
                        InvalidParameter);
        return fail(SaveFailure::UnsupportedFormat, InvalidParameter);
    }
    const bool bilevel = eTiffCompression >= TiffCcittGroup3 && eTiffCompression <= TiffCcittRle;
    return save(
        InBitmap, FileName,
        [&](const Picture& p, Bitmap& b) {
            if (bilevel) return converter_.ConvertTo1_4_8bpp(p, b, 0);
            switch (eTiffColorDepth) {
            case 0:
            case 1:
            case 2:
                return converter_.ConvertTo1_4_8bpp(p, b, eTiffColorDepth);
            case 3:
                return converter_.ConvertTo8bppOctree(p, b);
            case 4:
                return converter_.ConvertTo16_24_32bpp(p, b, 7);
            case 5:
                return converter_.ConvertTo16_24_32bpp(p, b, 8);
            default:
                return NoBitmap;
            }
        },
        [eTiffCompression](const Bitmap& b, AtomicFile& f) {
            return WriteTiff(b, f, eTiffCompression);
        });
}

bool clsSaveAs::SaveAsEMF(const QImage& InBitmap, const QString& FileName, int eEMFType,
                          const QString& Description) {
    const bool knownType = eEMFType >= 3 && eEMFType <= 5;
    return save(
        InBitmap, FileName,
        [&](const Picture& p, Bitmap& b) {
            return knownType ? converter_.ConvertTo16_24_32bpp(p, b, 7) : NoBitmap;
        },
        [&Description](const Bitmap& b, AtomicFile& f) { return WriteEmf(b, f, Description); });
}

} // namespace kamsulo::imaging
