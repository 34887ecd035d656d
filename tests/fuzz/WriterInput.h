// The encoder wrapper's input: a picture of 1 x 1 to 300 x 300 pixels in one of
// several QImage formats, the file type and, for a JPEG, the quality, some of it
// beyond 0 to 100.
#pragma once

#include "FuzzSupport.h"
#include "PictureBytes.h"

#include <QImage>
#include <array>

namespace kamsulo::fuzz {

enum class FileType : int { Bmp, Png, Gif, Jpeg, Count };

inline constexpr std::array<QImage::Format, 9> SourceFormats = {
    QImage::Format_RGB32,    QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
    QImage::Format_RGB888,   QImage::Format_RGB16,  QImage::Format_Grayscale8,
    QImage::Format_Indexed8, QImage::Format_Mono,   QImage::Format_RGBA8888};

struct WriterInput {
    static constexpr int LargestSide = 300;

    int width = 1;
    int height = 1;
    FileType type = FileType::Png;
    int quality = 0; // JPEG: the quality plus the shift the fuzzer takes off
    int source = 0;  // index into SourceFormats
    Fill fill = Fill::Repeat;
    QByteArray content;

    static WriterInput read(ByteReader& in) {
        WriterInput input;
        input.width = in.inRange(1, LargestSide);
        input.height = in.inRange(1, LargestSide);
        input.type = FileType(in.inRange(0, int(FileType::Count) - 1));
        input.quality = in.u8();
        input.source = in.inRange(0, int(SourceFormats.size()) - 1);
        input.fill = Fill(in.inRange(0, int(Fill::Count) - 1));
        input.content = in.rest();
        return input;
    }
    QByteArray bytes() const {
        return ByteWriter()
            .inRange(width, 1, LargestSide)
            .inRange(height, 1, LargestSide)
            .u8(int(type))
            .u8(quality)
            .u8(source)
            .u8(int(fill))
            .append(content)
            .bytes();
    }

    QImage picture() const {
        const QImage::Format format = SourceFormats[std::size_t(source)];
        QImage image(width, height, format);
        PictureBytes bytes(fill, content);
        if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono) {
            QList<QRgb> table(format == QImage::Format_Mono ? 2 : 256);
            for (qsizetype i = 0; i < table.size(); ++i)
                table[i] =
                    qRgb(bytes.at(std::size_t(3 * i), -1), bytes.at(std::size_t(3 * i + 1), -1),
                         bytes.at(std::size_t(3 * i + 2), -1));
            image.setColorTable(table);
        }
        const std::size_t used = (std::size_t(width) * std::size_t(image.depth()) + 7) / 8;
        for (int y = 0; y < height; ++y) {
            uchar* row = image.scanLine(y);
            for (std::size_t i = 0; i < used; ++i)
                row[i] = bytes.at(i, y);
        }
        return image;
    }
};

} // namespace kamsulo::fuzz
