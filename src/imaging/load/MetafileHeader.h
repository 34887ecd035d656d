// What the first bytes of a picture file say: which kind of picture it is and,
// for the metafiles, the size it is drawn at (96 dpi), read before anything is
// drawn.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <optional>

namespace kamsulo::imaging {

enum class PictureKind {
    Raster,       // anything else: left to the raster readers
    PlaceableWmf, // a Windows metafile with the placeable header in front
    PlainWmf,     // a Windows metafile without it: it has no size of its own
    Emf,          // an enhanced metafile
};

// Enough bytes to tell the kinds apart and to read the headers below.
inline constexpr int PictureHeadBytes = 108;
// Metafiles are drawn at the screen's resolution.
inline constexpr int MetafileDpi = 96;

PictureKind pictureKind(const QByteArray& head);

struct PlaceableWmfHeader {
    QRect box; // in metafile units: left, top, right and bottom edges
    int unitsPerInch = 0;
};

struct EmfHeader {
    QRect bounds;             // the drawn area in device pixels, edges included
    QRect frame;              // the picture's frame in 0.01 mm, edges included
    QSize device;             // the reference device in pixels...
    QSizeF deviceMillimetres; // ...and in millimetres
};

std::optional<PlaceableWmfHeader> readPlaceableWmfHeader(const QByteArray& head);
std::optional<EmfHeader> readEmfHeader(const QByteArray& head);

// The size the metafile is drawn at; an empty size when the header makes no
// sense. Sizes beyond what an int holds are clamped, so that they compare as
// too large.
QSize pixelSize(const PlaceableWmfHeader& header);
QSize pixelSize(const EmfHeader& header);

} // namespace kamsulo::imaging
