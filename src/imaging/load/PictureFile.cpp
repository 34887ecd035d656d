#include "imaging/load/PictureFile.h"

#include "imaging/load/EmfRenderer.h"
#include "imaging/load/JpegScans.h"
#include "imaging/load/KeyedPng.h"
#include "imaging/load/LoadRules.h"
#include "imaging/load/MaskedBitmap.h"
#include "imaging/load/PngDecoder.h"
#include "imaging/load/Truncation.h"
#include "imaging/load/WmfRenderer.h"

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

int readerStatus(QImageReader::ImageReaderError error) {
    switch (error) {
    case QImageReader::FileNotFoundError:
        return FileNotFound;
    case QImageReader::DeviceError:
        return GenericError;
    case QImageReader::UnsupportedFormatError:
    case QImageReader::InvalidDataError:
        return UnknownImageFormat;
    case QImageReader::UnknownError:
        break;
    }
    return GenericError;
}

} // namespace

PictureFile::PictureFile(const QByteArray& bytes, qint64 decodeLimitBytes,
                         std::function<QImage(QSize, QImage::Format)> pictureMemory)
    : bytes_(bytes), limit_(decodeLimitBytes), pictureMemory_(std::move(pictureMemory)) {}

PictureFile::~PictureFile() = default;

bool PictureFile::exceedsLimit(QSize size) const {
    return qint64(size.width()) * size.height() * DecodedBytesPerPixel > limit_;
}

int PictureFile::open() {
    kind_ = pictureKind(bytes_.first(std::min<qsizetype>(bytes_.size(), PictureHeadBytes)));
    return kind_ == PictureKind::Raster ? openRaster() : openMetafile();
}

int PictureFile::openRaster() {
    // The content picks the reader, and no other reader is tried.
    format_ = rasterFormat(bytes_.first(std::min<qsizetype>(bytes_.size(), PictureHeadBytes)));
    if (format_ == RasterFormat::Unlisted) return UnknownImageFormat;
    // Qt's PNG reader goes through the chunks before the data for the size already.
    if (format_ == RasterFormat::Png && cutShort(format_, bytes_)) return UnknownImageFormat;
    device_.setData(bytes_);
    if (!device_.open(QIODevice::ReadOnly)) return GenericError;
    reader_ = std::make_unique<QImageReader>(&device_, readerName(format_));
    reader_->setAutoDetectImageFormat(false);
    // A photo stands as its orientation (EXIF, the TIFF tag) says, not on its side.
    reader_->setAutoTransform(true);
    if (!reader_->canRead()) return readerStatus(reader_->error());
    size_ = reader_->size();
    // Qt's BMP reader gives the height of a bitmap stored top-down as negative.
    if (size_.width() > 0 && size_.height() < 0)
        size_.setHeight(size_.height() == INT_MIN ? INT_MAX : -size_.height());
    return Ok;
}

int PictureFile::openMetafile() {
    // A metafile without the placeable header has no size of its own.
    if (kind_ == PictureKind::PlainWmf) return UnknownImageFormat;
    if (bytes_.size() > limit_) return OutOfMemory;
    if (kind_ == PictureKind::PlaceableWmf) {
        wmfHeader_ = readPlaceableWmfHeader(bytes_);
        if (wmfHeader_) size_ = pixelSize(*wmfHeader_);
    } else {
        emfHeader_ = readEmfHeader(bytes_);
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
        largestWmfBitmap(bytes_) > limit_ / DecodedBytesPerPixel)
        return DecodeResult::failed(OutOfMemory);
    const AllocationLimit guard(limit_);
    switch (kind_) {
    case PictureKind::Raster:
        return decodeRaster();
    case PictureKind::PlaceableWmf:
        if (wmfHeader_) return renderPlaceableWmf(bytes_, *wmfHeader_, size_, limit_);
        break;
    case PictureKind::Emf:
        if (emfHeader_) return renderEmf(bytes_, *emfHeader_, size_, limit_);
        break;
    case PictureKind::PlainWmf:
        break;
    }
    return DecodeResult::failed(UnknownImageFormat);
}

DecodeResult PictureFile::decodeRaster() {
    const QByteArrayView bytes(bytes_);
    if (format_ == RasterFormat::Jpeg && jpegScans(bytes).count > MostJpegScans)
        return DecodeResult::failed(UnknownImageFormat);
    if (cutShort(format_, bytes)) return DecodeResult::failed(UnknownImageFormat);
    if (format_ == RasterFormat::Png) {
        if (std::optional<QImage> common = decodeCommonPng(bytes, pictureMemory_))
            return {*common, Ok};
        if (std::optional<DecodeResult> keyed = decodeKeyedPng(bytes, size_, pictureMemory_))
            return *keyed;
    }
    if (format_ == RasterFormat::Bitmap) {
        if (std::optional<DecodeResult> masked = decodeMaskedBitmap(bytes, size_, pictureMemory_))
            return *masked;
    }
    QImage image;
    // The readers write into a picture of their size and format that is given them.
    const QImage::Format format = reader_->imageFormat();
    if (pictureMemory_ && size_.isValid() &&
        (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied))
        image = pictureMemory_(size_, format);
    // Qt's reader leaves the pixels that a bitmap's run-length data skips as they are:
    // they are to be the palette's first colour.
    if (format_ == RasterFormat::Bitmap && format == QImage::Format_Indexed8 && size_.isValid()) {
        image = QImage(size_, format);
        image.fill(0);
    }
    if (!reader_->read(&image)) {
        // Qt refuses what passes its allocation limit as invalid data.
        const QSize claimed = reader_->size();
        if (claimed.isValid() && exceedsLimit(claimed)) return DecodeResult::failed(OutOfMemory);
        return DecodeResult::failed(readerStatus(reader_->error()));
    }
    return {image, Ok};
}

} // namespace kamsulo::imaging
