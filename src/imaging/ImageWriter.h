// Writes a picture to an image file: BMP, PNG, GIF, JPEG, TIFF or EMF.
//
// Each method converts the picture to the pixel format its selector asks for and
// hands the result to the encoder of the file type. It returns true only when the
// file was written completely. The file is written under a temporary name in the
// target folder and renamed into place at the end, so a failed save leaves no
// file behind and an existing file of that name unchanged; a successful save
// replaces an existing file, also a read-only one (the folder must be writable),
// keeping its permissions and owner, and through a symbolic link the file the
// link stands for.
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
#include "imaging/TiffWriter.h"

#include <QImage>
#include <QString>
#include <functional>

namespace kamsulo::imaging {

class AtomicFile;

// The pixel format of a BMP or PNG file. A PNG has no 16-bit RGB form: Rgb555 and
// Rgb565 are stored as 8 bits per channel with the reduced colours; Rgb32 is
// stored as RGB and Gray8 as an 8-bit gray image.
enum class BitmapFormat : int {
    Indexed1 = 0, // black, white
    Indexed4 = 1, // the 16 standard colours
    Indexed8 = 2, // the fixed 256-colour palette
    Gray8 = 3,    // 256 gray levels
    Octree8 = 4,  // octree palette of up to 256 colours
    Rgb555 = 5,
    Rgb565 = 6,
    Rgb24 = 7,
    Rgb32 = 8,
    Argb32 = 9, // opaque
};

// The palette of a GIF file.
enum class GifPalette : int { Fixed = 0, GrayLevels = 1, Octree = 2 };

// The depth of an LZW or uncompressed TIFF file; CCITT files are always 1-bit.
enum class TiffColorDepth : int {
    Indexed1 = 0,
    Indexed4 = 1,
    Indexed8 = 2, // fixed palette
    Octree8 = 3,
    Rgb24 = 4,
    Rgb32 = 5,
};

// The metafile kinds a caller may ask for; each writes the same plain Enhanced
// Metafile.
enum class EmfType : int { EmfOnly = 3, EmfPlusOnly = 4, EmfPlusDual = 5 };

class ImageWriter {
public:
    ImageWriter() = default;

    bool saveBmp(const QImage& image, const QString& fileName, BitmapFormat format);
    bool savePng(const QImage& image, const QString& fileName, BitmapFormat format);
    bool saveGif(const QImage& image, const QString& fileName, GifPalette palette);
    // `quality` in percent, clamped to 0..100.
    bool saveJpeg(const QImage& image, const QString& fileName, int quality);
    bool saveTiff(const QImage& image, const QString& fileName, TiffCompression compression,
                  TiffColorDepth depth);
    // A non-empty `description` goes into a comment record.
    bool saveEmf(const QImage& image, const QString& fileName, EmfType type,
                 const QString& description);

    // Why the last call failed, in German; empty after a success.
    QString lastError() const { return failureText(failure_, systemError_); }

private:
    using Build = std::function<int(const Picture&, Bitmap&)>;
    using Encode = std::function<int(const Bitmap&, AtomicFile&)>;
    // Builds the bitmap of a BMP or PNG file; NoBitmap for an unknown format.
    int bitmapFor(const Picture& picture, BitmapFormat format, Bitmap& bitmap);
    bool save(const QImage& image, const QString& fileName, const Build& build,
              const Encode& encode);
    bool fail(SaveFailure failure, int systemError = 0);

    PixelConversion conversion_;
    SaveFailure failure_ = SaveFailure::None;
    int systemError_ = 0;
};

} // namespace kamsulo::imaging
