#include "imaging/load/ImageLoader.h"

#include "imaging/load/LoadTexts.h"
#include "imaging/load/OpaqueImage.h"
#include "imaging/load/PictureFile.h"

#include <QFileInfo>
#include <exception>
#include <new>

namespace kamsulo::imaging {

namespace {

LoadResult refused(const QString& text) {
    LoadResult result;
    result.errorText = text;
    return result;
}

LoadResult tooLarge() {
    LoadResult result = refused(QString::fromUtf16(LoadText::TooLarge));
    result.tooLarge = true;
    return result;
}

// The platform loader says only that it failed; the imaging library adds its status.
QString decodeFailure(DecoderBranch branch, int status) {
    if (branch == DecoderBranch::PlatformPictureLoader)
        return QString::fromUtf16(LoadText::PictureLoaderFailed);
    return withStatusText(QString::fromUtf16(LoadText::CannotReadFile), status);
}

QString conversionFailure(DecoderBranch branch) {
    if (branch == DecoderBranch::PlatformPictureLoader)
        return QString::fromUtf16(LoadText::PictureLoaderFailed);
    return withStatusText(QString::fromUtf16(LoadText::CannotMakeHandle), OutOfMemory);
}

} // namespace

bool ImageLoader::admits(QSize size, QSize maxSize) const {
    if (!maxSize.isValid() || !size.isValid()) return true;
    return size.width() <= maxSize.width() && size.height() <= maxSize.height() &&
           qint64(size.width()) * size.height() * DecodedBytesPerPixel <= options_.decodeLimitBytes;
}

LoadResult ImageLoader::load(const QString& fileName, QSize maxSize) const {
    const QString name = trimSpaces(fileName);
    if (name.isEmpty()) return {};
    if (name.size() <= ShortestRefusedNameLength)
        return refused(QString::fromUtf16(LoadText::BadFileName));
    // Hidden and read-only files are files like any other; a folder is none.
    const QFileInfo info(name);
    if (!info.isFile()) return refused(QString::fromUtf16(LoadText::FileMissing));
    if (info.size() <= LargestEmptyFileSize)
        return refused(QString::fromUtf16(LoadText::EmptyFile));
    const DecoderBranch branch = decoderBranch(extensionClass(name), options_);
    if (branch == DecoderBranch::Refused)
        return refused(QString::fromUtf16(LoadText::UnsupportedFormat));
    try {
        return loadChecked(name, branch, maxSize);
    } catch (const std::bad_alloc&) {
        return refused(loaderStatusText(OutOfMemory));
    } catch (const std::exception& error) {
        return refused(QString::fromLocal8Bit(error.what()));
    }
}

LoadResult ImageLoader::loadChecked(const QString& name, DecoderBranch branch,
                                    QSize maxSize) const {
    PictureFile file(name, options_.decodeLimitBytes);
    if (const int status = file.open(); status != Ok) return refused(decodeFailure(branch, status));
    if (!admits(file.size(), maxSize)) return tooLarge();

    DecodeResult decoded = file.decode();
    if (decoded.status != Ok) return refused(decodeFailure(branch, decoded.status));
    // A reader that could not tell the size in advance is held to the limit now.
    if (!admits(decoded.image.size(), maxSize)) return tooLarge();

    LoadResult result;
    result.picture = opaqueOverBlack(std::move(decoded.image));
    if (result.picture.isNull()) return refused(conversionFailure(branch));
    return result;
}

} // namespace kamsulo::imaging
