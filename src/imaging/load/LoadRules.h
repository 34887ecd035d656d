// The checks a file name passes before anything is decoded, and the choice of
// the decoder branch by the file's extension.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace kamsulo::imaging {

// What the extension of a name says about its picture.
enum class ExtensionClass {
    Bitmap,         // .bmp .dib .rle
    IconOrMetafile, // .ico .cur .emf .wmf
    ImagingFormat,  // .gif .png .tif .jpe .jpg .tiff .jpeg .jfif
    Unsupported,
};

// The two ways a picture is read. Both report failures in their own words.
enum class DecoderBranch {
    PlatformPictureLoader, // bitmaps, icons, cursors and metafiles
    ImagingLibrary,        // GIF, PNG, TIFF and JPEG
    Refused,               // the extension is not supported
};

// A decoded picture takes this many bytes a pixel.
inline constexpr qint64 DecodedBytesPerPixel = 4;

struct LoaderOptions {
    // Bitmaps go through the imaging library's branch instead of the platform
    // picture loader.
    bool bitmapsViaImagingLibrary = false;
    // The most bytes one decoded picture or metafile canvas may
    // take; a picture that needs more is refused before it is decoded.
    qint64 decodeLimitBytes = qint64(256) * 1024 * 1024;
    // Where a raster reader writes a 32-bit picture, when not in memory of its own: a
    // null image for none (the decoder process hands its answer's memory over here).
    std::function<QImage(QSize, QImage::Format)> pictureMemory;
};

// Spaces (only spaces) removed from both ends.
QString trimSpaces(const QString& name);

// Classified by the last 4 characters (".bmp") or the last 5 (".jpeg"), in any
// letter case.
ExtensionClass extensionClass(const QString& name);

DecoderBranch decoderBranch(ExtensionClass extension, const LoaderOptions& options);

// Whether a picture of `size` is within maxSize in both directions and within
// `decodeLimitBytes`; always, when either size is invalid.
bool admitsSize(QSize size, QSize maxSize, qint64 decodeLimitBytes);

// What the checks of a name and its file say before any byte of it is read.
struct FileCheck {
    QString name; // without the spaces around it
    DecoderBranch branch = DecoderBranch::Refused;
    QString refusal;    // the German text when the file is refused, else empty
    bool empty = false; // an empty name: nothing to load, and nothing to say
    bool passed() const { return !empty && refusal.isEmpty(); }
};
FileCheck checkFile(const QString& fileName, const LoaderOptions& options);

// A name of this many characters or fewer is refused without touching the disk.
inline constexpr int ShortestRefusedNameLength = 4;
// A file of this many bytes or fewer counts as empty.
inline constexpr qint64 LargestEmptyFileSize = 9;

} // namespace kamsulo::imaging
