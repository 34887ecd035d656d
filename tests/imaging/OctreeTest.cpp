#include "ReferenceOctree.h"
#include "imaging/OctreeQuantizer.h"
#include "imaging/PixelConversion.h"

#include <QImage>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <vector>

using namespace kamsulo::imaging;

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

// A 24-bit buffer (blue, green, red) with DWORD-aligned rows; `padByte` fills
// the pad so that reading it would show.
struct Buffer {
    int width, height;
    std::size_t stride, pad;
    std::vector<std::uint8_t> bytes;
    Buffer(int w, int h, std::uint8_t padByte = 0)
        : width(w), height(h), stride((3 * static_cast<std::size_t>(w) + 3) & ~std::size_t{3}),
          pad(stride - 3 * static_cast<std::size_t>(w)),
          bytes(stride * static_cast<std::size_t>(h), padByte) {}
    void set(int x, int y, Rgb c) {
        std::uint8_t* p =
            bytes.data() + static_cast<std::size_t>(y) * stride + 3 * static_cast<std::size_t>(x);
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }
    void build(OctreeQuantizer& tree) const {
        tree.build(stride, height, pad, bytes.data(), 256, 8);
    }
};

std::vector<int> path(Rgb c, int depth) {
    std::vector<int> steps;
    for (int level = 1; level <= depth; ++level) {
        const int mask = 128 >> (level - 1);
        steps.push_back(((c.r & mask) ? 4 : 0) | ((c.g & mask) ? 2 : 0) | ((c.b & mask) ? 1 : 0));
    }
    return steps;
}

Rgb paletteColor(const OctreeQuantizer& tree, int index) {
    Rgb c{};
    EXPECT_TRUE(tree.paletteColor(index, c.b, c.g, c.r));
    return c;
}

} // namespace

TEST(OcTree, OneColourGivesOneLeafAndSixteenEntries) {
    QImage image(7, 3, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    PixelConversion conversion;
    Bitmap result;
    ASSERT_EQ(conversion.toOctreePalette(Picture(image), result), 0);
    const OctreeQuantizer& tree = conversion.octree();
    EXPECT_EQ(tree.leafCount(), 1);
    EXPECT_EQ(tree.paletteSize(), 16);
    EXPECT_EQ(tree.lastPaletteIndex(), 0);
    Rgb c = paletteColor(tree, 0);
    EXPECT_EQ(c.r, 10);
    EXPECT_EQ(c.g, 200);
    EXPECT_EQ(c.b, 30);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(result.scanLine(y)[x], 0);
    // The bitmap's palette has 256 entries; those beyond the one in use are zero.
    ASSERT_EQ(result.palette.entries.size(), 256u);
    EXPECT_EQ(result.palette.entries[0], (PaletteEntry{30, 200, 10, 255}));
    EXPECT_EQ(result.palette.entries[1], PaletteEntry{});
    EXPECT_EQ(result.palette.entries[255], PaletteEntry{});
}

TEST(OcTree, UpTo256ColoursAreKeptExactly) {
    std::mt19937 random(7);
    std::set<std::uint32_t> seen;
    std::vector<Rgb> colors;
    while (colors.size() < 256) {
        const std::uint32_t v = random() & 0xffffff;
        if (seen.insert(v).second)
            colors.push_back({std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)});
    }
    Buffer buffer(32, 16);
    for (int i = 0; i < 512; ++i)
        buffer.set(i % 32, i / 32, colors[static_cast<std::size_t>(i % 256)]);
    OctreeQuantizer tree;
    buffer.build(tree);
    EXPECT_EQ(tree.reductionCount(), 0);
    EXPECT_EQ(tree.leafCount(), 256);
    EXPECT_EQ(tree.paletteSize(), 256);
    EXPECT_EQ(tree.lastPaletteIndex(), 255);
    std::set<int> indexes;
    for (const Rgb& c : colors) {
        const int index = tree.paletteIndex(c.b, c.g, c.r);
        indexes.insert(index);
        const Rgb p = paletteColor(tree, index);
        EXPECT_TRUE(p.r == c.r && p.g == c.g && p.b == c.b);
        EXPECT_TRUE(tree.isLeaf(tree.nodeAt(path(c, 8))));
    }
    EXPECT_EQ(indexes.size(), 256u);
}

// Bottom row, inserted first from its last pixel to its first: 254 colours with
// a depth-7 node each, then D1 and D2 sharing a new depth-7 node (256 leaves).
// The top row then brings C, which shares the depth-7 node of the very first
// colour: 257 leaves, and the reduction must fold D1 and D2 (the most recently
// created depth-7 node), not C and c0.
TEST(OcTree, FirstReductionMergesTheNewestDepth7Node) {
    std::vector<Rgb> c;
    for (int i = 0; i < 254; ++i)
        c.push_back({std::uint8_t(2 * (i % 128)), std::uint8_t(2 * (i / 128)), 0});
    const Rgb d1{0, 100, 0}, d2{1, 100, 0}, lateC{1, 0, 0};
    Buffer buffer(256, 2);
    buffer.set(0, 1, d2);
    buffer.set(1, 1, d1);
    for (int i = 0; i < 254; ++i)
        buffer.set(255 - i, 1, c[static_cast<std::size_t>(i)]);
    for (int x = 0; x < 256; ++x)
        buffer.set(x, 0, lateC);

    OctreeQuantizer tree;
    buffer.build(tree);
    EXPECT_EQ(tree.reductionCount(), 1);
    EXPECT_EQ(tree.leafCount(), 256);
    const int merged = tree.nodeAt(path(d1, 7));
    ASSERT_NE(merged, 0);
    EXPECT_TRUE(tree.isLeaf(merged));
    EXPECT_EQ(tree.pixelCount(merged), 2u);
    EXPECT_EQ(tree.nodeAt(path(d1, 8)), 0);
    EXPECT_TRUE(tree.isLeaf(tree.nodeAt(path(c[0], 8))));
    EXPECT_TRUE(tree.isLeaf(tree.nodeAt(path(lateC, 8))));
    EXPECT_EQ(tree.pixelCount(tree.nodeAt(path(lateC, 8))), 256u);
    // The merged leaf's colour is the truncated average: red (0 + 1) div 2.
    const Rgb m = paletteColor(tree, tree.paletteIndex(d1.b, d1.g, d1.r));
    EXPECT_EQ(m.r, 0);
    EXPECT_EQ(m.g, 100);
    EXPECT_EQ(tree.paletteIndex(d2.b, d2.g, d2.r), tree.paletteIndex(d1.b, d1.g, d1.r));
}

TEST(OcTree, PadBytesAreNotPixels) {
    // Width 5: stride 16, pad 1, filled with a colour that is in no pixel.
    Buffer buffer(5, 3, 0xAB);
    const Rgb colors[5] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            buffer.set(x, y, colors[x]);
    ASSERT_EQ(buffer.pad, 1u);
    OctreeQuantizer tree;
    buffer.build(tree);
    EXPECT_EQ(tree.leafCount(), 5);
    EXPECT_EQ(tree.lastPaletteIndex(), 4);
    for (int i = 0; i <= 4; ++i) {
        const Rgb p = paletteColor(tree, i);
        EXPECT_FALSE(p.r == 0xAB || p.g == 0xAB || p.b == 0xAB) << i;
    }
    // Through the conversion the pad is zero: black must not turn up either.
    QImage image(5, 2, QImage::Format_RGB32);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 2; ++y)
            image.setPixel(x, y, qRgb(colors[x].r, colors[x].g, colors[x].b));
    PixelConversion conversion;
    Bitmap result;
    ASSERT_EQ(conversion.toOctreePalette(Picture(image), result), 0);
    EXPECT_EQ(conversion.octree().leafCount(), 5);
}

TEST(OcTree, PoolGrowsInStepsAndReusesFreedNodes) {
    std::mt19937 random(3);
    Buffer buffer(300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            buffer.set(x, y,
                       {std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())});
    OctreeQuantizer tree;
    buffer.build(tree);
    EXPECT_GT(tree.reductionCount(), 0);
    EXPECT_LE(tree.leafCount(), 256);
    EXPECT_EQ(tree.poolCapacity() % OctreeQuantizer::PoolStep, 0);
    EXPECT_GE(tree.poolCapacity(), tree.nodeCount());
    // Freed nodes are reused: the pool stays far below one node per inserted colour.
    EXPECT_LT(tree.poolCapacity(), 300 * 200 / 4);
    // A new build starts from an empty tree.
    Buffer one(4, 4);
    one.build(tree);
    EXPECT_EQ(tree.leafCount(), 1);
    EXPECT_EQ(tree.poolCapacity(), OctreeQuantizer::PoolStep);
}

// The caches of the fast tree (runs, index lookups) must not change a single
// palette entry or index against the plain recursive rules.
TEST(OcTree, MatchesThePlainRulesBitForBit) {
    std::mt19937 random(11);
    // Round 3 draws from 400 colours, which recur after reductions have folded
    // some of their leaves.
    for (int round = 0; round < 4; ++round) {
        const int w = 97 + 61 * round, h = 83;
        Buffer buffer(w, h);
        for (int y = 0; y < h; ++y) {
            Rgb run{};
            for (int x = 0; x < w; ++x) {
                // runs of equal pixels, smooth areas and noise
                if (random() % 4 != 0) {
                    const std::uint32_t v = random();
                    const std::uint32_t c = (v % 400) * 2654435761u;
                    run = round == 0
                              ? Rgb{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)}
                          : round == 3
                              ? Rgb{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)}
                              : Rgb{std::uint8_t(x * 2 + (v & 7)), std::uint8_t(y * 3),
                                    std::uint8_t((x ^ y) + (v >> 29))};
                }
                buffer.set(x, y, run);
            }
        }
        OctreeQuantizer fast;
        buffer.build(fast);
        test::ReferenceOctree plain;
        plain.build(buffer.stride, buffer.height, buffer.pad, buffer.bytes.data());
        ASSERT_EQ(fast.lastPaletteIndex(), plain.last());
        ASSERT_EQ(fast.paletteSize(), static_cast<int>(plain.palette().size()));
        for (int i = 0; i <= plain.last(); ++i) {
            const Rgb p = paletteColor(fast, i);
            const auto& q = plain.palette()[static_cast<std::size_t>(i)];
            ASSERT_TRUE(p.r == q.red && p.g == q.green && p.b == q.blue) << round << " " << i;
        }
        // Through the conversion, with its index cache.
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = buffer.bytes.data() + y * buffer.stride + 3 * x;
                image.setPixel(x, y, qRgb(p[2], p[1], p[0]));
            }
        PixelConversion conversion;
        Bitmap result;
        ASSERT_EQ(conversion.toOctreePalette(Picture(image), result), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = buffer.bytes.data() + y * buffer.stride + 3 * x;
                ASSERT_EQ(result.scanLine(y)[x], plain.index(p[0], p[1], p[2])) << x << "," << y;
            }
    }
}
