// Shared pieces of the save tests: the test picture, the expected pixels of a
// converted bitmap, and a scratch folder.
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

// RGB bytes, top row first, of what the bitmap shows (16-bit channels widened
// by repeating their high bits).
inline QByteArray expectedRgb(const Bitmap& b, bool alpha = false) {
    QByteArray out;
    const int bits = bitsPerPixel(b.format());
    for (int y = 0; y < b.height(); ++y) {
        const std::uint8_t* row = b.scanLine(y);
        for (int x = 0; x < b.width(); ++x) {
            int r = 0, g = 0, bl = 0, a = 255;
            if (isIndexed(b.format())) {
                const int shift = bits == 8 ? 0 : 8 - bits - (x * bits) % 8;
                const int index = (row[x * bits / 8] >> shift) & ((1 << bits) - 1);
                const PaletteEntry& e = b.palette.entries[static_cast<std::size_t>(index)];
                r = e.red, g = e.green, bl = e.blue;
            } else if (bits == 16) {
                const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                const bool g6 = b.format() == PixelFormat::Rgb565;
                const unsigned r5 = g6 ? v >> 11 : (v >> 10) & 31;
                const unsigned gg = g6 ? (v >> 5) & 63 : (v >> 5) & 31;
                r = static_cast<int>((r5 << 3) | (r5 >> 2));
                g = static_cast<int>(g6 ? (gg << 2) | (gg >> 4) : (gg << 3) | (gg >> 2));
                bl = static_cast<int>(((v & 31) << 3) | ((v & 31) >> 2));
            } else {
                const std::uint8_t* p = row + x * bits / 8;
                bl = p[0], g = p[1], r = p[2];
                if (bits == 32) a = p[3];
            }
            out.append(char(r)).append(char(g)).append(char(bl));
            if (alpha) out.append(char(a));
        }
    }
    return out;
}

// Largest difference of any channel.
inline int maxDifference(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return 1000;
    int worst = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(int(std::uint8_t(a[i])) - int(std::uint8_t(b[i]))));
    return worst;
}

// Names of the files in a folder, hidden ones too.
inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace kamsulo::imaging::test
