#include "imaging/GifWriter.h"

#include "imaging/ImagingStatus.h"

#include <gif_lib.h>
#include <vector>

namespace kamsulo::imaging {

namespace {

int writeToFile(GifFileType* gif, const GifByteType* data, int size) {
    auto* file = static_cast<AtomicFile*>(gif->UserData);
    return file->write(data, static_cast<std::size_t>(size)) ? size : 0;
}

} // namespace

int writeGif(const Bitmap& bitmap, AtomicFile& file) {
    if (bitmap.isNull() || bitmap.format() != PixelFormat::Indexed8 || bitmap.width() > 0xffff ||
        bitmap.height() > 0xffff)
        return InvalidParameter;

    int error = 0;
    GifFileType* gif = EGifOpen(&file, writeToFile, &error);
    if (!gif) return OutOfMemory;

    std::vector<GifColorType> colors(256, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < bitmap.palette.entries.size() && i < colors.size(); ++i) {
        const PaletteEntry& e = bitmap.palette.entries[i];
        colors[i] = GifColorType{e.red, e.green, e.blue};
    }
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    bool ok = map != nullptr;
    ok = ok && EGifPutScreenDesc(gif, bitmap.width(), bitmap.height(), 8, 0, map) == GIF_OK;
    ok = ok &&
         EGifPutImageDesc(gif, 0, 0, bitmap.width(), bitmap.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < bitmap.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(bitmap.scanLine(y)), bitmap.width()) ==
             GIF_OK;
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    GifFreeMapObject(map);
    if (file.failed()) return SystemError;
    return ok && closed ? Ok : GenericError;
}

} // namespace kamsulo::imaging
