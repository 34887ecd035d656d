// One picture file on its way to pixels: its header is read first, so that the
// caller can refuse a picture by its size before any pixel is decoded.
#pragma once

#include "imaging/load/DecodeResult.h"
#include "imaging/load/MetafileHeader.h"
#include "imaging/load/RasterFormat.h"

#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

namespace kamsulo::imaging {

class PictureFile {
public:
    // `decodeLimitBytes` bounds the decoded picture (4 bytes a pixel) and a
    // metafile's bytes.
    PictureFile(const QString& fileName, qint64 decodeLimitBytes);
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
    int openRaster(const QByteArray& head);
    int openMetafile();
    DecodeResult decodeRaster();

    QString fileName_;
    qint64 limit_;
    PictureKind kind_ = PictureKind::Raster;
    RasterFormat format_ = RasterFormat::Unlisted;
    QSize size_;
    std::unique_ptr<QImageReader> reader_;
    QByteArray metafile_;
    std::optional<PlaceableWmfHeader> wmfHeader_;
    std::optional<EmfHeader> emfHeader_;
};

} // namespace kamsulo::imaging
