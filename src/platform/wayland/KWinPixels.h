#pragma once
// What KWin's answer says about the raw pixels that follow it through the pipe, checked
// before anything is read or allocated for them.
#include <QImage>
#include <QSize>
#include <QVariantMap>
#include <optional>

namespace kamsulo::platform {

struct KWinPixels {
    int width = 0;
    int height = 0;
    int stride = 0; // bytes from one line to the next
    QImage::Format format = QImage::Format_Invalid;

    qsizetype bytes() const { return qsizetype(stride) * height; }
};

// The answer's width, height, stride and format when each is a whole number that fits
// the others and the outputs: at most `bound` (the largest picture the outputs give), a
// format of whole bytes a pixel without a colour table, and lines that hold a row of
// pixels with at most a page of padding. Nothing otherwise.
std::optional<KWinPixels> kwinPixels(const QVariantMap& answer, QSize bound);

} // namespace kamsulo::platform
