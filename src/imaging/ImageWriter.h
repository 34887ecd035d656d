// Writes a picture to an image file: 24-bit BMP, 24-bit PNG, GIF with the octree
// palette, or JPEG.
//
// Each method converts the picture to what the encoder of the file type takes
// and hands it over. It returns true only when the file was written completely.
// The file is written under a temporary name in the target folder and renamed
// into place at the end, so a failed save leaves no file behind and an existing
// file of that name unchanged; a successful save replaces an existing file, also
// a read-only one (the folder must be writable), keeping its permissions and
// owner, and through a symbolic link the file the link stands for.
// The methods add or check no extension. A caller need not delete an existing
// file before saving; doing so would only lose it when the save then fails.
//
// The picture is saved as it shows on the canvas: opaque, its alpha ignored.
//
// After a failed call, lastError() says why in German, for a message box.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/PixelConversion.h"
#include "imaging/SaveFailure.h"

#include <QImage>
#include <QString>
#include <functional>

namespace kamsulo::imaging {

class AtomicFile;

class ImageWriter {
public:
    ImageWriter() = default;

    bool saveBmp(const QImage& image, const QString& fileName);
    bool savePng(const QImage& image, const QString& fileName);
    bool saveGif(const QImage& image, const QString& fileName);
    // `quality` in percent, clamped to 0..100.
    bool saveJpeg(const QImage& image, const QString& fileName, int quality);

    // Why the last call failed, in German; empty after a success.
    QString lastError() const { return failureText(failure_, systemError_); }

private:
    using Build = std::function<int(const Picture&, Bitmap&)>;
    using Encode = std::function<int(const Bitmap&, AtomicFile&)>;
    bool save(const QImage& image, const QString& fileName, const Build& build,
              const Encode& encode);
    // Saves the picture's own rows, which the encoder reads without a copy.
    bool saveRows(const QImage& image, const QString& fileName, const Encode& encode);
    bool fail(SaveFailure failure, int systemError = 0);

    PixelConversion conversion_;
    SaveFailure failure_ = SaveFailure::None;
    int systemError_ = 0;
};

} // namespace kamsulo::imaging
