#include "platform/wayland/PreparedPicture.h"

#include <system_error>
#include <utility>

namespace kamsulo::platform {

namespace {
constexpr qsizetype PageBytes = 4096;
} // namespace

PreparedPicture::PreparedPicture(QSize size, QImage::Format format) {
    if (size.isEmpty()) return;
    picture_ = QImage(size, format);
    if (picture_.isNull()) return;
    uchar* bits = picture_.bits();
    const qsizetype bytes = picture_.sizeInBytes();
    try {
        toucher_ = std::thread([bits, bytes] {
            for (qsizetype at = 0; at < bytes; at += PageBytes)
                bits[at] = 0;
        });
    } catch (const std::system_error&) {
        // No thread to be had: the pages fault in as the pixels land.
    }
}

PreparedPicture::~PreparedPicture() {
    wait();
}

QImage PreparedPicture::take() {
    wait();
    return std::exchange(picture_, QImage());
}

void PreparedPicture::wait() {
    if (toucher_.joinable()) toucher_.join();
}

} // namespace kamsulo::platform
