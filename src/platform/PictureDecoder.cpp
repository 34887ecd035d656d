#include "platform/PictureDecoder.h"

#include <utility>

namespace kamsulo::platform {

namespace {
PictureDecoder g_decoder = nullptr;
} // namespace

void setPictureDecoder(PictureDecoder decoder) {
    g_decoder = decoder;
}

QImage decodeDesktopPicture(const QByteArray& file, QImage memory) {
    QImage picture = g_decoder ? g_decoder(file, std::move(memory)) : QImage();
    if (picture.isNull()) picture.loadFromData(file);
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace kamsulo::platform
