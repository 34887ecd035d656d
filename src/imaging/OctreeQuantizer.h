// The octree colour quantiser: builds a palette of at most `maxColors` colours
// from a 24-bit buffer and maps colours to palette indexes.
//
// The tree lives in one pool of fixed-size nodes numbered from 1 (node 1 is the
// root), which grows by 1024 nodes and reuses freed nodes through a free list.
// Interior nodes are kept on one reducible list per depth; a reduction folds the
// children of the most recently added node of the deepest list into it.
// One object holds one tree; a build discards the previous one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kamsulo::imaging {

class OctreeQuantizer {
public:
    static constexpr int PoolStep = 1024;

    struct Color {
        std::uint8_t blue = 0;
        std::uint8_t green = 0;
        std::uint8_t red = 0;
        bool operator==(const Color&) const = default;
    };

    OctreeQuantizer();

    // Builds the tree and the palette from `height` rows of `stride` bytes, each
    // holding blue, green, red per pixel followed by `pad` bytes that are not
    // pixels. Rows are inserted from the bottom row up, and each row from its
    // last pixel to its first; after every pixel the tree is reduced while it has
    // more than `maxColors` leaves. The program passes 256 and 8.
    void build(std::size_t stride, int height, std::size_t pad, const std::uint8_t* pixels,
               int maxColors, int leafLevel);
    // The same tree from `height` rows of `width` 32-bit pixels (blue, green, red,
    // unused), `stride` bytes apart, without a 24-bit copy.
    void buildFrom32(const std::uint8_t* pixels, std::size_t stride, int width, int height,
                     int maxColors, int leafLevel);

    // Palette index of a colour that was inserted in the last build (0 for a
    // colour without a path).
    int paletteIndex(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const;
    // The palette indexes of `width` pixels of `bytesPerPixel` (3 or 4) bytes each,
    // blue, green, red first, into `indexes`.
    void mapRow(const std::uint8_t* pixels, int bytesPerPixel, int width,
                std::uint8_t* indexes) const;
    // The highest palette index in use (leaves - 1).
    int lastPaletteIndex() const { return paletteLast_; }
    // An entry of the palette; false for an index outside it.
    bool paletteColor(int index, std::uint8_t& blue, std::uint8_t& green, std::uint8_t& red) const;

    // 16 when the tree ended with at most 16 leaves, else 256.
    int paletteSize() const { return static_cast<int>(palette_.size()); }
    int leafCount() const { return leafCount_; }
    int nodeCount() const { return nodeCount_; }
    // Nodes the pool can hold (a multiple of PoolStep).
    int poolCapacity() const { return static_cast<int>(nodes_.size()) - 1; }
    // How many reductions the last build made.
    int reductionCount() const { return reductions_; }

    // Inspection of the tree for tests: the node reached from the root by the
    // child slots in `path`, 0 when there is none; its pixel count, leaf flag and
    // colour sums.
    int nodeAt(const std::vector<int>& path) const;
    bool isLeaf(int node) const { return nodes_[static_cast<std::size_t>(node)].isLeaf != 0; }
    std::uint32_t pixelCount(int node) const {
        return nodes_[static_cast<std::size_t>(node)].pixelCount;
    }

private:
    struct Node {
        std::uint64_t blueSum;
        std::uint64_t greenSum;
        std::uint64_t redSum;
        std::uint32_t pixelCount;
        std::int32_t isLeaf;
        std::int32_t inReducibleList;
        std::int32_t children[8];
        std::int32_t next;
        std::int32_t paletteIndex;
        std::uint32_t generation; // counts the times the node was freed
    };
    // A colour met before and the leaf it went to, valid while that leaf has not
    // been freed since (a leaf stays the first leaf on its colours' paths until a
    // reduction folds it into its parent).
    struct LeafMemo {
        std::uint32_t key;
        std::int32_t leaf;
        std::uint32_t generation;
        std::int32_t depth;
    };
    static constexpr int MemoBits = 12;

    void reset();
    template <int BytesPerPixel>
    void insertAll(const std::uint8_t* pixels, std::size_t stride, std::size_t width, int height,
                   int maxColors, int leafLevel);
    template <int BytesPerPixel>
    void mapPixels(const std::uint8_t* pixels, int width, std::uint8_t* indexes) const;
    // The palette index of a colour and the depth of its leaf (0 without a path).
    int leafOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red, int& depth) const;
    std::int32_t newNode();
    void freeNode(std::int32_t node);
    std::int32_t addColor(int leafLevel, std::uint8_t blue, std::uint8_t green, std::uint8_t red,
                          std::int32_t node, int level);
    bool reduceOnce(int leafLevel);
    void assignPalette();
    void buildPrefixTable();
    void fillPrefixEntries(std::int32_t node, int depth, int red, int green, int blue);

    std::vector<Node> nodes_; // index 0 unused
    std::vector<LeafMemo> memo_;
    int nodeCount_ = 0;
    std::int32_t freeHead_ = 0;
    std::array<std::int32_t, 8> reducibleHeads_{};
    int leafCount_ = 0;
    // The interior nodes on the last colour's path, by level (path_[1] is the
    // root), and how many levels of it are valid.
    std::array<std::int32_t, 10> path_{};
    int pathLevels_ = 0;
    int reductions_ = 0;
    int paletteLast_ = 0;
    std::vector<Color> palette_;
    // The first PrefixBits levels of every path, looked up at once by the top
    // PrefixBits bits of each channel: where the path ends in a leaf within them,
    // its palette index plus its depth times 256 (>= 0), else minus the node to
    // walk on from.
    static constexpr int PrefixBits = 5;
    std::vector<std::int32_t> prefix_;
};

} // namespace kamsulo::imaging
