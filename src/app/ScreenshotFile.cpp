#include "app/ScreenshotFile.h"

#include "app/DecodeWait.h"
#include "app/MainWindow.h"
#include "imaging/load/PngDecoder.h"

#include <utility>

namespace kamsulo::app {

QImage decodeScreenshotFile(const QByteArray& file, QImage memory) {
    const auto ready = [&memory](QSize size, QImage::Format format) {
        return memory.size() == size && memory.format() == format ? std::exchange(memory, QImage())
                                                                  : QImage();
    };
    if (std::optional<QImage> common = imaging::decodeCommonPng(file, ready);
        common && !common->isNull())
        return *std::move(common);
    return sandboxedLoader().decode(file, MainWindow::largestPicture()).picture;
}

} // namespace kamsulo::app
