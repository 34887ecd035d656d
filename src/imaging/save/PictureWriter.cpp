#include "imaging/save/PictureWriter.h"

#include "imaging/ImageWriter.h"

namespace kamsulo::imaging {

SaveResult writePicture(ImageWriter& writer, const QImage& picture, const QString& path,
                        SaveType type, int quality) {
    bool ok = false;
    switch (type) {
    case SaveType::Bmp:
        ok = writer.saveBmp(picture, path);
        break;
    case SaveType::Gif:
        ok = writer.saveGif(picture, path);
        break;
    case SaveType::Jpg:
        ok = writer.saveJpeg(picture, path, quality);
        break;
    case SaveType::Png:
    default:
        ok = writer.savePng(picture, path);
        break;
    }
    return {ok, ok ? QString() : writer.lastError()};
}

} // namespace kamsulo::imaging
