// One picture file's bytes on their way to pixels: the header is read first, so that
// the caller can refuse a picture by its size before any pixel is decoded.
#pragma once

#include "imaging/load/DecodeResult.h"
#include "imaging/load/MetafileHeader.h"
#include "imaging/load/RasterFormat.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>

namespace kamsulo::imaging {

class PictureFile {
public:
    // `bytes` are the whole file and must outlive this; `decodeLimitBytes` bounds the
    // decoded picture (4 bytes a pixel) and a metafile's bytes.
    PictureFile(const QByteArray& bytes, qint64 decodeLimitBytes,
                std::function<QImage(QSize, QImage::Format)> pictureMemory = {});
    ~PictureFile();

    // Reads the header: Ok, or the status why the file is no picture we read.
    int open();
    PictureKind kind() const { return kind_; }
    // The size the header claims (after open). It may be invalid for a raster
    // format whose reader cannot tell it in advance.
    QSize size() const { return size_; }
    // Whether `size` needs more than the decode limit.
    bool exceedsLimit(QSize size) const;
    DecodeResult decode();

private:
    int openRaster();
    int openMetafile();
    DecodeResult decodeRaster();

    QByteArray bytes_;
    qint64 limit_;
    QBuffer device_;
    std::function<QImage(QSize, QImage::Format)> pictureMemory_;
    PictureKind kind_ = PictureKind::Raster;
    RasterFormat format_ = RasterFormat::Unlisted;
    QSize size_;
    std::unique_ptr<QImageReader> reader_;
    std::optional<PlaceableWmfHeader> wmfHeader_;
    std::optional<EmfHeader> emfHeader_;
};

} // namespace kamsulo::imaging
