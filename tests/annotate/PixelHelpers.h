#pragma once
// Small helpers for looking at canvas pixels in tests.
#include "annotate/Bgr.h"

#include <QImage>
#include <QRect>
#include <functional>

namespace kamsulo::annotate::test {

inline QImage whitePicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline quint32 at(const QImage& img, int x, int y) {
    return rgbToBgr(img.pixel(x, y));
}

// Bounding box of the pixels that satisfy `pred`.
inline QRect extent(const QImage& img, const std::function<bool(QRgb)>& pred) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(img.pixel(x, y))) r = r.united(QRect(x, y, 1, 1));
    return r;
}

// Bounding box of the pixels that differ from white.
inline QRect inkExtent(const QImage& img) {
    return extent(img, [](QRgb p) { return (p & 0xFFFFFF) != 0xFFFFFF; });
}

inline int countColour(const QImage& img, quint32 bgr) {
    int n = 0;
    const QRgb want = bgrToRgb(bgr);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) | 0xFF000000) == want;
    return n;
}

constexpr quint32 kRed = 0x000000FF;
constexpr quint32 kBlue = 0x00FF0000;
constexpr quint32 kYellow = 0x0000FFFF;
constexpr quint32 kWhite = 0x00FFFFFF;
constexpr quint32 kBlack = 0x00000000;

} // namespace kamsulo::annotate::test
