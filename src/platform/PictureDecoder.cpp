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
    if (!g_decoder) return {};
    return g_decoder(file, std::move(memory)).convertToFormat(QImage::Format_RGB32);
}

} // namespace kamsulo::platform
