#include "imaging/ImageWriter.h"

#include "imaging/AtomicFile.h"
#include "imaging/BmpWriter.h"
#include "imaging/GifWriter.h"
#include "imaging/ImagingStatus.h"
#include "imaging/JpegWriter.h"
#include "imaging/PngWriter.h"

#include <algorithm>

namespace kamsulo::imaging {

namespace {

constexpr int LowestQuality = 0;
constexpr int HighestQuality = 100;

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

bool ImageWriter::saveRows(const QImage& image, const QString& fileName, const Encode& encode) {
    return save(image, fileName, viewOf, encode);
}

bool ImageWriter::saveBmp(const QImage& image, const QString& fileName) {
    return saveRows(image, fileName, writeBmp);
}

bool ImageWriter::savePng(const QImage& image, const QString& fileName) {
    return saveRows(image, fileName, writePng);
}

bool ImageWriter::saveGif(const QImage& image, const QString& fileName) {
    return save(
        image, fileName,
        [this](const Picture& p, Bitmap& b) { return conversion_.toOctreePalette(p, b); },
        writeGif);
}

bool ImageWriter::saveJpeg(const QImage& image, const QString& fileName, int quality) {
    const int clamped = std::clamp(quality, LowestQuality, HighestQuality);
    // The encoder reads the 32-bit rows as they are and takes the same colours
    // from them as from their 24-bit conversion, without the copy.
    return saveRows(image, fileName,
                    [clamped](const Bitmap& b, AtomicFile& f) { return writeJpeg(b, f, clamped); });
}

} // namespace kamsulo::imaging
