// The octree's input: a picture of 1 x 1 to 300 x 300 pixels of 24 bits with 0
// to 7 pad bytes a row, and how its bytes are filled.
#pragma once

#include "FuzzSupport.h"
#include "PictureBytes.h"

#include <vector>

namespace kamsulo::fuzz {

inline constexpr int LargestSide = 300;

struct OctreeInput {
    int width = 1;
    int height = 1;
    int pad = 0;
    Fill fill = Fill::Repeat;
    QByteArray content;

    static OctreeInput read(ByteReader& in) {
        OctreeInput input;
        input.width = in.inRange(1, LargestSide);
        input.height = in.inRange(1, LargestSide);
        input.pad = in.inRange(0, 7);
        input.fill = Fill(in.inRange(0, int(Fill::Count) - 1));
        input.content = in.rest();
        return input;
    }
    QByteArray bytes() const {
        return ByteWriter()
            .inRange(width, 1, LargestSide)
            .inRange(height, 1, LargestSide)
            .u8(pad)
            .u8(int(fill))
            .append(content)
            .bytes();
    }

    std::size_t stride() const { return std::size_t(width) * 3 + std::size_t(pad); }
    // Rows of blue, green, red; the pad bytes are noise that must not count.
    std::vector<std::uint8_t> pixels() const {
        PictureBytes source(fill, content);
        std::vector<std::uint8_t> buffer(stride() * std::size_t(height));
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = buffer.data() + stride() * std::size_t(y);
            for (std::size_t i = 0; i < stride(); ++i)
                row[i] = i < std::size_t(width) * 3 ? source.at(i, y) : std::uint8_t(0xA5 ^ i ^ y);
        }
        return buffer;
    }
};

} // namespace kamsulo::fuzz
