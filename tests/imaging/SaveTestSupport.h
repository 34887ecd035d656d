// Shared pieces of the save tests: the test picture, the expected pixels of a
// picture or a converted bitmap, and the files of a folder.
#pragma once

#include "imaging/Bitmap.h"

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

namespace kamsulo::imaging::test {

// 37 x 23 (odd width: every depth has pad bytes), several hundred colours, a
// flat area and a gradient.
inline QImage testPicture() {
    QImage image(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           x < 6 ? qRgb(200, 30, 90)
                                 : qRgb((x * 7) & 255, (y * 11) & 255, (x * y * 3) & 255));
    return image;
}

// RGB bytes, top row first, of what an 8-bit indexed or a 32-bit bitmap shows.
inline QByteArray expectedRgb(const Bitmap& b) {
    QByteArray out;
    for (int y = 0; y < b.height(); ++y) {
        const std::uint8_t* row = b.scanLine(y);
        for (int x = 0; x < b.width(); ++x) {
            if (b.format() == PixelFormat::Indexed8) {
                const PaletteEntry& e = b.palette.entries[row[x]];
                out.append(char(e.red)).append(char(e.green)).append(char(e.blue));
            } else {
                const std::uint8_t* p = row + 4 * x;
                out.append(char(p[2])).append(char(p[1])).append(char(p[0]));
            }
        }
    }
    return out;
}

// RGB bytes, top row first, of the picture as it is saved: opaque.
inline QByteArray expectedRgb(const QImage& picture) {
    return expectedRgb(Bitmap::viewOf(Picture(picture)));
}

// Names of the files in a folder, hidden ones too.
inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace kamsulo::imaging::test
