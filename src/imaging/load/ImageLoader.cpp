#include "imaging/load/ImageLoader.h"

#include "imaging/load/LoadTexts.h"
#include "imaging/load/OpaqueImage.h"
#include "imaging/load/PictureFile.h"

#include <QFile>
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

QString conversionFailure(DecoderBranch branch) {
    if (branch == DecoderBranch::PlatformPictureLoader)
        return QString::fromUtf16(LoadText::PictureLoaderFailed);
    return withStatusText(QString::fromUtf16(LoadText::CannotMakeHandle), OutOfMemory);
}

} // namespace

LoadResult ImageLoader::load(const QString& fileName, QSize maxSize) const {
    const FileCheck check = checkFile(fileName, options_);
    if (!check.passed()) return refused(check.refusal);
    QFile file(check.name);
    if (!file.open(QIODevice::ReadOnly))
        return refused(
            decodeFailureText(check.branch, file.exists() ? AccessDenied : FileNotFound));
    const qint64 size = file.size();
    const uchar* mapped = file.map(0, size);
    return decode(mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size)
                         : file.readAll(),
                  check.branch, maxSize);
}

LoadResult ImageLoader::decode(const QByteArray& bytes, DecoderBranch branch, QSize maxSize) const {
    try {
        return decodeChecked(bytes, branch, maxSize);
    } catch (const std::bad_alloc&) {
        return refused(loaderStatusText(OutOfMemory));
    } catch (const std::exception& error) {
        return refused(QString::fromLocal8Bit(error.what()));
    }
}

LoadResult ImageLoader::decodeChecked(const QByteArray& bytes, DecoderBranch branch,
                                      QSize maxSize) const {
    PictureFile file(bytes, options_.decodeLimitBytes, options_.pictureMemory);
    if (const int status = file.open(); status != Ok)
        return refused(decodeFailureText(branch, status));
    if (!admits(file.size(), maxSize)) return tooLarge();

    DecodeResult decoded = file.decode();
    if (decoded.status != Ok) return refused(decodeFailureText(branch, decoded.status));
    // A reader that could not tell the size in advance is held to the limit now.
    if (!admits(decoded.image.size(), maxSize)) return tooLarge();

    LoadResult result;
    result.picture = opaqueOverBlack(std::move(decoded.image));
    if (result.picture.isNull()) return refused(conversionFailure(branch));
    return result;
}

} // namespace kamsulo::imaging
