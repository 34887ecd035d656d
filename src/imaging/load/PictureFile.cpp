#include "imaging/load/PictureFile.h"

#include "imaging/load/EmfRenderer.h"
#include "imaging/load/JpegScans.h"
#include "imaging/load/LoadRules.h"
#include "imaging/load/Truncation.h"
#include "imaging/load/WmfRenderer.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace kamsulo::imaging {

namespace {

constexpr qint64 Mebibyte = 1024 * 1024;
// Beyond this many pixels a side the metafile painters lose their precision.
constexpr int MaxMetafileSide = 32767;

// Qt's own cap on one decoded image, set to ours for the time of a decode: a
// second guard for pictures whose header understates what they hold.
class AllocationLimit {
public:
    explicit AllocationLimit(qint64 bytes) : previous_(QImageReader::allocationLimit()) {
        QImageReader::setAllocationLimit(
            int(std::max<qint64>(1, (bytes + Mebibyte - 1) / Mebibyte)));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(previous_); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int previous_;
};

int readerStatus(QImageReader::ImageReaderError error, const QString& fileName) {
    switch (error) {
    case QImageReader::FileNotFoundError:
        return FileNotFound;
    case QImageReader::DeviceError:
        return QFileInfo(fileName).isReadable() ? GenericError : AccessDenied;
    case QImageReader::UnsupportedFormatError:
    case QImageReader::InvalidDataError:
        return UnknownImageFormat;
    case QImageReader::UnknownError:
        break;
    }
    return GenericError;
}

} // namespace

PictureFile::PictureFile(const QString& fileName, qint64 decodeLimitBytes)
    : fileName_(fileName), limit_(decodeLimitBytes) {}

PictureFile::~PictureFile() = default;

bool PictureFile::exceedsLimit(QSize size) const {
    return qint64(size.width()) * size.height() * DecodedBytesPerPixel > limit_;
}

int PictureFile::open() {
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) return file.exists() ? AccessDenied : FileNotFound;
    const QByteArray head = file.read(PictureHeadBytes);
    file.close();
    kind_ = pictureKind(head);
    return kind_ == PictureKind::Raster ? openRaster(head) : openMetafile();
}

int PictureFile::openRaster(const QByteArray& head) {
    // The content picks the reader, and no other reader is tried.
    format_ = rasterFormat(head);
    if (format_ == RasterFormat::Unlisted) return UnknownImageFormat;
    reader_ = std::make_unique<QImageReader>(fileName_, readerName(format_));
    reader_->setAutoDetectImageFormat(false);
    // A photo stands as its orientation (EXIF, the TIFF tag) says, not on its side.
    reader_->setAutoTransform(true);
    if (!reader_->canRead()) return readerStatus(reader_->error(), fileName_);
    size_ = reader_->size();
    // Qt's BMP reader gives the height of a bitmap stored top-down as negative.
    if (size_.width() > 0 && size_.height() < 0)
        size_.setHeight(size_.height() == INT_MIN ? INT_MAX : -size_.height());
    return Ok;
}

int PictureFile::openMetafile() {
    // A metafile without the placeable header has no size of its own.
    if (kind_ == PictureKind::PlainWmf) return UnknownImageFormat;
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) return AccessDenied;
    if (file.size() > limit_) return OutOfMemory;
    metafile_ = file.readAll();
    if (metafile_.size() != file.size()) return GenericError;
    if (kind_ == PictureKind::PlaceableWmf) {
        wmfHeader_ = readPlaceableWmfHeader(metafile_);
        if (wmfHeader_) size_ = pixelSize(*wmfHeader_);
    } else {
        emfHeader_ = readEmfHeader(metafile_);
        if (emfHeader_) size_ = pixelSize(*emfHeader_);
    }
    return size_.isEmpty() ? UnknownImageFormat : Ok;
}

DecodeResult PictureFile::decode() {
    if (size_.isValid() && exceedsLimit(size_)) return DecodeResult::failed(OutOfMemory);
    if (kind_ != PictureKind::Raster &&
        (size_.width() > MaxMetafileSide || size_.height() > MaxMetafileSide))
        return DecodeResult::failed(OutOfMemory);
    // Divided, not multiplied: a bitmap header may claim 2^31 x 2^31 pixels.
    if (kind_ == PictureKind::PlaceableWmf &&
        largestWmfBitmap(metafile_) > limit_ / DecodedBytesPerPixel)
        return DecodeResult::failed(OutOfMemory);
    const AllocationLimit guard(limit_);
    switch (kind_) {
    case PictureKind::Raster:
        return decodeRaster();
    case PictureKind::PlaceableWmf:
        if (wmfHeader_) return renderPlaceableWmf(metafile_, *wmfHeader_, size_, limit_);
        break;
    case PictureKind::Emf:
        if (emfHeader_) return renderEmf(metafile_, *emfHeader_, size_, limit_);
        break;
    case PictureKind::PlainWmf:
        break;
    }
    return DecodeResult::failed(UnknownImageFormat);
}

DecodeResult PictureFile::decodeRaster() {
    QFile file(fileName_);
    const uchar* mapped = file.open(QIODevice::ReadOnly) ? file.map(0, file.size()) : nullptr;
    if (!mapped) return DecodeResult::failed(readerStatus(QImageReader::DeviceError, fileName_));
    const QByteArrayView bytes(mapped, file.size());
    if (format_ == RasterFormat::Jpeg && jpegScans(bytes).count > MostJpegScans)
        return DecodeResult::failed(UnknownImageFormat);
    if (cutShort(format_, bytes)) return DecodeResult::failed(UnknownImageFormat);
    QImage image;
    if (!reader_->read(&image)) {
        // Qt refuses what passes its allocation limit as invalid data.
        const QSize claimed = reader_->size();
        if (claimed.isValid() && exceedsLimit(claimed)) return DecodeResult::failed(OutOfMemory);
        return DecodeResult::failed(readerStatus(reader_->error(), fileName_));
    }
    return {image, Ok};
}

} // namespace kamsulo::imaging
