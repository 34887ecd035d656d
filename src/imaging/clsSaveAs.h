// Writes a picture to an image file: BMP, PNG, GIF, JPEG, TIFF or EMF.
//
// Each method converts the picture to the pixel format its selector asks for and
// hands the result to the encoder of the file type. It returns true only when the
// file was written completely. The file is written under a temporary name in the
// target folder and renamed into place at the end, so a failed save leaves no
// file behind and an existing file of that name unchanged; a successful save
// replaces an existing file, also a read-only one (the folder must be writable).
// The methods add or check no extension. A caller need not delete an existing
// file before saving; doing so would only lose it when the save then fails.
//
// Selectors:
//   eBitmapFormat (SaveAsBMP, SaveAsPNG):
//     0 1-bit indexed (black, white)     5 16 bits RGB 5-5-5
//     1 4-bit indexed (16 colours)       6 16 bits RGB 5-6-5
//     2 8-bit indexed (fixed palette)    7 24 bits RGB
//     3 8-bit, 256 gray levels           8 32 bits RGB
//     4 8-bit, octree palette            9 32 bits ARGB (opaque)
//     A PNG has no 16-bit RGB form: 5 and 6 are stored as 8 bits per channel with
//     the reduced colours; 8 is stored as RGB; 3 as an 8-bit gray image.
//   eGifFormat: 0 fixed 8-bit palette, 1 gray levels, 2 octree palette.
//   eTiffCompression: 2 LZW, 3 CCITT group 3, 4 CCITT group 4, 5 CCITT RLE, 6 none.
//   eTiffColorDepth (LZW and none only; CCITT files are always 1-bit):
//     0 1 bit, 1 4 bits, 2 8 bits fixed palette, 3 8 bits octree, 4 24 bits, 5 32 bits.
//   Quality (SaveAsJPEG): percent, clamped to 0..100.
//   eEMFType (SaveAsEMF): 3, 4 or 5; each writes the same plain Enhanced Metafile.
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

class clsSaveAs {
public:
    clsSaveAs() = default;

    bool SaveAsBMP(const QImage& InBitmap, const QString& FileName, int eBitmapFormat);
    bool SaveAsEMF(const QImage& InBitmap, const QString& FileName, int eEMFType,
                   const QString& Description);
    bool SaveAsGIF(const QImage& InBitmap, const QString& FileName, int eGifFormat);
    bool SaveAsJPEG(const QImage& InBitmap, const QString& FileName, int Quality);
    bool SaveAsPNG(const QImage& InBitmap, const QString& FileName, int eBitmapFormat);
    bool SaveAsTIFF(const QImage& InBitmap, const QString& FileName, int eTiffCompression,
                    int eTiffColorDepth);

    // Why the last call failed, in German; empty after a success.
    QString lastError() const { return failureText(failure_, systemError_); }
    SaveFailure lastFailure() const { return failure_; }
    // The status number of the last failing step (Ok after a success).
    int lastStatus() const { return status_; }

    // Receives the German messages of the conversions for format values they do
    // not support (the selectors above never pass such a value).
    void setMessageHandler(PixelConversion::MessageHandler handler) {
        converter_ = PixelConversion(std::move(handler));
    }

private:
    using Encode = std::function<int(const Bitmap&, AtomicFile&)>;
    // Builds the bitmap for `selector` of a bitmap-format table; false when the
    // selector names none.
    int bitmapFor(const Picture& picture, int selector, Bitmap& bitmap);
    bool save(const QImage& image, const QString& fileName,
              const std::function<int(const Picture&, Bitmap&)>& build, const Encode& encode);
    bool fail(SaveFailure failure, int status, int systemError = 0);

    PixelConversion converter_;
    SaveFailure failure_ = SaveFailure::None;
    int status_ = 0;
    int systemError_ = 0;
};

} // namespace kamsulo::imaging
