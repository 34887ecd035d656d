// The desktop's screenshot files decode in the program only as the common PNG that the
// program's own decoder takes; anything else in the decoder process or not at all.
#include "app/ScreenshotFile.h"
#include "platform/PictureDecoder.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace kamsulo;

namespace {

QByteArray encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

} // namespace

TEST(ScreenshotFile, WhatTheOwnPngDecoderLeavesDecodesInTheDecoderProcessOnly) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(0xff, 0x88, 0x00));
    picture.setPixel(5, 7, qRgb(0x10, 0x20, 0x30));
    const QByteArray png = encoded(picture, "PNG");
    const QByteArray bmp = encoded(picture, "BMP");
    // A 16-bit PNG, which the own decoder leaves alone.
    const QByteArray deep = encoded(picture.convertToFormat(QImage::Format_RGBA64), "PNG");

    // The platform has no decoder of its own.
    EXPECT_TRUE(platform::decodeDesktopPicture(bmp).isNull());

    platform::setPictureDecoder(app::decodeScreenshotFile);
    for (const QByteArray& file : {png, bmp, deep})
        EXPECT_EQ(platform::decodeDesktopPicture(file), picture);

    // Without a decoder process to start, only the common PNG gives a picture.
    const QByteArray decoder = qgetenv("KAMSULO_DECODER");
    qputenv("KAMSULO_DECODER", "/nonexistent/kamsulo-decode");
    EXPECT_EQ(platform::decodeDesktopPicture(png), picture);
    EXPECT_TRUE(platform::decodeDesktopPicture(bmp).isNull());
    EXPECT_TRUE(platform::decodeDesktopPicture(deep).isNull());
    qputenv("KAMSULO_DECODER", decoder);
    platform::setPictureDecoder(nullptr);
}
