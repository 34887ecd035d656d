#pragma once
// Writes the picture with the encoder the selected file type asks for.
#include "imaging/save/SaveFormats.h"

#include <QImage>
#include <QString>

namespace kamsulo::imaging {

class ImageWriter;

struct SaveResult {
    bool ok = false;
    QString reason; // why it failed, in German
};

// BMP and PNG as 24-bit RGB, GIF with an 8-bit octree palette, JPEG with
// `quality` percent.
SaveResult writePicture(ImageWriter& writer, const QImage& picture, const QString& path,
                        SaveType type, int quality);

} // namespace kamsulo::imaging
