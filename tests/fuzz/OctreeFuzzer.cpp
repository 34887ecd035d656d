// The octree quantiser on random pictures, with the program's 256 colours and
// depth 8: at most 256 leaves; every pixel maps to a leaf whose colour is the
// average of exactly the pixels that map to it, each leaf taking some; and the
// same palette and mapping as the plain reference tree.
#include "FuzzSupport.h"
#include "OctreeInput.h"
#include "imaging/OctreeQuantizer.h"
#include "imaging/ReferenceOctree.h"

#include <array>

using namespace kamsulo;
using namespace kamsulo::fuzz;

namespace {

constexpr int MaxColors = 256;
constexpr int LeafLevel = 8;
constexpr int SmallPalette = 16;

struct Sums {
    std::uint64_t count = 0;
    std::array<std::uint64_t, 3> channel{}; // blue, green, red
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const OctreeInput input = OctreeInput::read(in);
    const std::vector<std::uint8_t> pixels = input.pixels();
    const std::size_t pad = std::size_t(input.pad);

    imaging::OctreeQuantizer octree;
    octree.build(input.stride(), input.height, pad, pixels.data(), MaxColors, LeafLevel);
    imaging::test::ReferenceOctree reference;
    reference.build(input.stride(), input.height, pad, pixels.data());

    const int leaves = octree.leafCount();
    check(leaves >= 1 && leaves <= MaxColors, "1 to 256 leaves",
          [&] { return QString::number(leaves); });
    check(octree.lastPaletteIndex() == leaves - 1, "last index",
          [&] { return QString::number(leaves); });
    check(octree.paletteSize() == (leaves <= SmallPalette ? SmallPalette : MaxColors),
          "palette size");
    check(reference.last() == octree.lastPaletteIndex(), "leaves as the reference");

    std::vector<Sums> sums(static_cast<std::size_t>(leaves));
    for (int y = 0; y < input.height; ++y) {
        const std::uint8_t* p = pixels.data() + input.stride() * std::size_t(y);
        for (int x = 0; x < input.width; ++x, p += 3) {
            const int index = octree.paletteIndex(p[0], p[1], p[2]);
            check(index >= 0 && index < leaves, "index in the palette",
                  [&] { return QString::number(index); });
            check(index == reference.index(p[0], p[1], p[2]), "index as the reference");
            Sums& s = sums[std::size_t(index)];
            ++s.count;
            for (int c = 0; c < 3; ++c)
                s.channel[std::size_t(c)] += p[c];
        }
    }
    for (int i = 0; i < leaves; ++i) {
        const Sums& s = sums[std::size_t(i)];
        check(s.count > 0, "a leaf without pixels", [&] { return QString::number(i); });
        std::array<std::uint8_t, 3> colour{};
        check(octree.paletteColor(i, colour[0], colour[1], colour[2]), "palette entry");
        const auto& expected = reference.palette()[std::size_t(i)];
        check(colour == std::array{expected.blue, expected.green, expected.red},
              "colour as the reference", [&] { return QString::number(i); });
        for (int c = 0; c < 3; ++c)
            check(colour[std::size_t(c)] == s.channel[std::size_t(c)] / s.count,
                  "leaf colour is the average of its pixels", [&] { return QString::number(i); });
    }
    return 0;
}
