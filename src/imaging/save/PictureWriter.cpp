#include "imaging/save/PictureWriter.h"

#include "imaging/clsSaveAs.h"
#include "imaging/save/SaveFormats.h"

#include <exception>
#include <new>

namespace kamsulo::imaging {

namespace {
constexpr int rgb24 = 7;     // eBitmapFormat: 24 bits RGB
constexpr int gifOctree = 2; // eGifFormat: octree palette
} // namespace

SaveResult writePicture(clsSaveAs& saver, const QImage& picture, const QString& path, int option,
                        int quality) {
    bool ok = false;
    switch (option) {
    case OptionBMP:
        ok = saver.SaveAsBMP(picture, path, rgb24);
        break;
    case OptionGIF:
        ok = saver.SaveAsGIF(picture, path, gifOctree);
        break;
    case OptionJPG:
        ok = saver.SaveAsJPEG(picture, path, quality);
        break;
    default:
        ok = saver.SaveAsPNG(picture, path, rgb24);
        break;
    }
    return {ok, ok ? QString() : saver.lastError()};
}

} // namespace kamsulo::imaging
