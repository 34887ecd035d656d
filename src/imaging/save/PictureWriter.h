#pragma once
// Writes the picture with the encoder the selected type button asks for.
#include <QImage>
#include <QString>

namespace kamsulo::imaging {

class clsSaveAs;

struct SaveResult {
    bool ok = false;
    QString reason; // why it failed, in German
};

// BMP and PNG as 24-bit RGB, GIF with an 8-bit octree palette, JPEG with
// `quality` percent. `option` is an Option1 index (SaveOption).
SaveResult writePicture(clsSaveAs& saver, const QImage& picture, const QString& path, int option,
                        int quality);

} // namespace kamsulo::imaging
