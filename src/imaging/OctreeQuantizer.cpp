#include "imaging/OctreeQuantizer.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kamsulo::imaging {

namespace {

constexpr std::int32_t Root = 1;

inline int childSlot(int level, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    const int shift = 8 - level; // level 1 looks at bit 7
    return (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
}

// Blue, green, red of a pixel as blue | green << 8 | red << 16.
template <int BytesPerPixel> inline std::uint32_t colorKey(const std::uint8_t* p) {
    if constexpr (BytesPerPixel == 4 && std::endian::native == std::endian::little) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v & 0xffffffu;
    } else {
        return p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
    }
}

// The key bits that choose a leaf at `depth`: the top `depth` bits of each channel.
inline std::uint32_t leafKeyBits(int depth) {
    return ((0xffu << (8 - depth)) & 0xffu) * 0x010101u;
}

} // namespace

OctreeQuantizer::OctreeQuantizer() {
    reset();
}

void OctreeQuantizer::reset() {
    reducibleHeads_.fill(0);
    path_.fill(Root);
    pathLevels_ = 0;
    nodes_.assign(PoolStep + 1, Node{});
    freeHead_ = 0;
    nodeCount_ = 1;
    paletteLast_ = 0;
    leafCount_ = 0;
    reductions_ = 0;
    palette_.clear();
    prefix_.assign(std::size_t{1} << (3 * PrefixBits), 0);
}

std::int32_t OctreeQuantizer::newNode() {
    ++nodeCount_;
    if (freeHead_ != 0) {
        const std::int32_t node = freeHead_;
        Node& n = nodes_[static_cast<std::size_t>(node)];
        freeHead_ = n.next;
        std::fill(std::begin(n.children), std::end(n.children), 0);
        return node;
    }
    const std::int32_t node = nodeCount_;
    if (node % PoolStep == 0) nodes_.resize(static_cast<std::size_t>(nodeCount_) + PoolStep + 1);
    return node;
}

void OctreeQuantizer::freeNode(std::int32_t node) {
    Node& n = nodes_[static_cast<std::size_t>(node)];
    n.next = freeHead_;
    freeHead_ = node;
    n.isLeaf = 0;
    n.inReducibleList = 0;
    ++n.generation;
    --nodeCount_;
}

// Walks down the colour's path from `node` at `level` (the root at level 1, or
// a node the previous colour's path shares), creating missing nodes, and adds
// the colour to the first leaf on it. Returns that leaf. The interior nodes
// passed go to path_[level], and pathLevels_ to the number of them.
std::int32_t OctreeQuantizer::addColor(int leafLevel, std::uint8_t blue, std::uint8_t green,
                                       std::uint8_t red, std::int32_t node, int level) {
    for (;; ++level) {
        path_[static_cast<std::size_t>(level)] = node;
        const int slot = childSlot(level, blue, green, red);
        std::int32_t child = nodes_[static_cast<std::size_t>(node)].children[slot];
        if (child == 0) {
            child = newNode(); // may move the pool
            nodes_[static_cast<std::size_t>(node)].children[slot] = child;
            Node& c = nodes_[static_cast<std::size_t>(child)];
            c.isLeaf = level == leafLevel ? 1 : 0;
            c.pixelCount = 0;
            c.blueSum = c.greenSum = c.redSum = 0;
            c.next = 0;
        }
        Node& c = nodes_[static_cast<std::size_t>(child)];
        if (c.isLeaf) {
            if (c.pixelCount == 0) ++leafCount_;
            ++c.pixelCount;
            c.blueSum += blue;
            c.greenSum += green;
            c.redSum += red;
            pathLevels_ = level;
            return child;
        }
        if (!c.inReducibleList) {
            c.next = reducibleHeads_[static_cast<std::size_t>(level - 1)];
            reducibleHeads_[static_cast<std::size_t>(level - 1)] = child;
            c.inReducibleList = 1;
        }
        node = child;
    }
}

bool OctreeQuantizer::reduceOnce(int leafLevel) {
    int list = leafLevel - 1;
    while (list >= 0 && reducibleHeads_[static_cast<std::size_t>(list)] == 0)
        --list;
    if (list < 0) return false;

    const std::int32_t node = reducibleHeads_[static_cast<std::size_t>(list)];
    reducibleHeads_[static_cast<std::size_t>(list)] = nodes_[static_cast<std::size_t>(node)].next;

    std::uint64_t blue = 0, green = 0, red = 0;
    std::uint32_t pixels = 0;
    int removed = 0;
    for (std::int32_t& slot : nodes_[static_cast<std::size_t>(node)].children) {
        if (slot == 0) continue;
        const Node& c = nodes_[static_cast<std::size_t>(slot)];
        pixels += c.pixelCount;
        blue += c.blueSum;
        green += c.greenSum;
        red += c.redSum;
        freeNode(slot);
        slot = 0;
        ++removed;
    }
    Node& n = nodes_[static_cast<std::size_t>(node)];
    n.pixelCount = pixels;
    n.blueSum = blue;
    n.greenSum = green;
    n.redSum = red;
    n.isLeaf = 1;
    leafCount_ = leafCount_ - removed + 1;
    ++reductions_;
    return true;
}

void OctreeQuantizer::build(std::size_t stride, int height, std::size_t pad,
                            const std::uint8_t* pixels, int maxColors, int leafLevel) {
    const std::size_t width = stride >= pad ? (stride - pad) / 3 : 0;
    insertAll<3>(pixels, stride, width, height, maxColors, leafLevel);
}

void OctreeQuantizer::buildFrom32(const std::uint8_t* pixels, std::size_t stride, int width,
                                  int height, int maxColors, int leafLevel) {
    insertAll<4>(pixels, stride, static_cast<std::size_t>(std::max(width, 0)), height, maxColors,
                 leafLevel);
}

template <int BytesPerPixel>
void OctreeQuantizer::insertAll(const std::uint8_t* pixels, std::size_t stride, std::size_t width,
                                int height, int maxColors, int leafLevel) {
    reset();
    leafLevel = std::clamp(leafLevel, 1, 8);
    maxColors = std::clamp(maxColors, 1, 256);

    // A pixel whose colour agrees with the previous one in the bits that led to
    // the previous leaf belongs to that leaf; such runs are summed here and added
    // to the leaf when they end. Another colour met before goes to its
    // remembered leaf while that lives. A new colour starts its walk below the
    // nodes its path shares with the previous colour's, when that path is known.
    // Any reduction may free or merge those nodes, so it forgets the leaf and the
    // path.
    memo_.assign(std::size_t{1} << MemoBits, LeafMemo{0xffffffffu, 0, 0, 0});
    bool pathKnown = false; // path_ holds lastKey's path
    std::uint32_t lastKey = 0;
    std::uint32_t leafBits = 0; // the key bits that choose lastLeaf
    std::int32_t lastLeaf = 0;
    std::uint32_t runPixels = 0;
    std::uint64_t runBlue = 0, runGreen = 0, runRed = 0;
    const auto endRun = [&] {
        Node& leaf = nodes_[static_cast<std::size_t>(lastLeaf)];
        leaf.pixelCount += runPixels;
        leaf.blueSum += runBlue;
        leaf.greenSum += runGreen;
        leaf.redSum += runRed;
        runPixels = 0;
        runBlue = runGreen = runRed = 0;
    };
    pathLevels_ = 0;
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * stride;
        for (std::size_t x = width; x-- > 0;) {
            const std::uint32_t key = colorKey<BytesPerPixel>(row + BytesPerPixel * x);
            const std::uint32_t differ = key ^ lastKey;
            if (lastLeaf != 0 && (differ & leafBits) == 0) {
                ++runPixels;
                runBlue += key & 0xff;
                runGreen += (key >> 8) & 0xff;
                runRed += key >> 16;
                continue;
            }
            if (lastLeaf != 0) endRun();
            LeafMemo& memo = memo_[(key * 2654435761u) >> (32 - MemoBits)];
            if (memo.key == key &&
                nodes_[static_cast<std::size_t>(memo.leaf)].generation == memo.generation) {
                lastLeaf = memo.leaf;
                lastKey = key;
                leafBits = leafKeyBits(memo.depth);
                pathKnown = false;
                runPixels = 1;
                runBlue = key & 0xff;
                runGreen = (key >> 8) & 0xff;
                runRed = key >> 16;
                continue;
            }
            // Levels whose bits agree in all three channels share their node.
            const std::uint32_t bits = (differ | (differ >> 8) | (differ >> 16)) & 0xff;
            const int shared = bits == 0 ? 8 : std::countl_zero(bits) - 24;
            const int level = lastLeaf == 0 || !pathKnown ? 1 : std::min(shared + 1, pathLevels_);
            const int leavesBefore = leafCount_;
            const auto blue = static_cast<std::uint8_t>(key);
            const auto green = static_cast<std::uint8_t>(key >> 8);
            const auto red = static_cast<std::uint8_t>(key >> 16);
            lastLeaf = addColor(leafLevel, blue, green, red, path_[static_cast<std::size_t>(level)],
                                level);
            lastKey = key;
            leafBits = leafKeyBits(pathLevels_);
            pathKnown = true;
            memo = LeafMemo{key, lastLeaf, nodes_[static_cast<std::size_t>(lastLeaf)].generation,
                            pathLevels_};
            if (leafCount_ == leavesBefore) continue;
            while (leafCount_ > maxColors && reduceOnce(leafLevel))
                lastLeaf = 0;
        }
    }
    if (lastLeaf != 0) endRun();
    assignPalette();
    buildPrefixTable();
}

// Depth-first in child-slot order; each leaf takes the next palette entry, the
// average of its pixels.
void OctreeQuantizer::assignPalette() {
    palette_.assign(leafCount_ <= 16 ? 16 : 256, Color{});
    int nextIndex = 0;
    struct Frame {
        std::int32_t node;
        int slot;
    };
    std::array<Frame, 10> stack{};
    int top = 0;
    stack[0] = {Root, 0};
    while (top >= 0) {
        Frame& f = stack[static_cast<std::size_t>(top)];
        if (f.slot == 8) {
            --top;
            continue;
        }
        const std::int32_t child = nodes_[static_cast<std::size_t>(f.node)].children[f.slot++];
        if (child == 0) continue;
        Node& c = nodes_[static_cast<std::size_t>(child)];
        if (c.isLeaf) {
            if (nextIndex < static_cast<int>(palette_.size()) && c.pixelCount > 0) {
                Color& e = palette_[static_cast<std::size_t>(nextIndex)];
                e.blue = static_cast<std::uint8_t>(c.blueSum / c.pixelCount);
                e.green = static_cast<std::uint8_t>(c.greenSum / c.pixelCount);
                e.red = static_cast<std::uint8_t>(c.redSum / c.pixelCount);
            }
            c.paletteIndex = std::min(nextIndex, static_cast<int>(palette_.size()) - 1);
            ++nextIndex;
        } else if (top + 1 < static_cast<int>(stack.size())) {
            stack[static_cast<std::size_t>(++top)] = {child, 0};
        }
    }
    paletteLast_ = nextIndex - 1;
}

void OctreeQuantizer::buildPrefixTable() {
    fillPrefixEntries(Root, 0, 0, 0, 0);
}

// Fills the entries under `node` (at `depth`, reached by the top `depth` bits
// red, green, blue).
void OctreeQuantizer::fillPrefixEntries(std::int32_t node, int depth, int red, int green,
                                        int blue) {
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    if (depth == PrefixBits || n.isLeaf) {
        const int free = PrefixBits - depth;
        const std::int32_t value = n.isLeaf ? n.paletteIndex + (depth << 8) : -node;
        for (int r = 0; r < (1 << free); ++r)
            for (int g = 0; g < (1 << free); ++g)
                for (int b = 0; b < (1 << free); ++b)
                    prefix_[static_cast<std::size_t>((((red << free) | r) << (2 * PrefixBits)) |
                                                     (((green << free) | g) << PrefixBits) |
                                                     ((blue << free) | b))] = value;
        return;
    }
    for (int slot = 0; slot < 8; ++slot) {
        const std::int32_t child = n.children[slot];
        if (child != 0)
            fillPrefixEntries(child, depth + 1, (red << 1) | (slot >> 2),
                              (green << 1) | ((slot >> 1) & 1), (blue << 1) | (slot & 1));
    }
}

int OctreeQuantizer::leafOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red,
                            int& depth) const {
    constexpr int shift = 8 - PrefixBits;
    const std::int32_t entry = prefix_[static_cast<std::size_t>(
        ((red >> shift) << (2 * PrefixBits)) | ((green >> shift) << PrefixBits) | (blue >> shift))];
    if (entry >= 0) {
        depth = entry >> 8;
        return entry & 0xff;
    }
    std::int32_t node = -entry;
    for (int level = PrefixBits + 1; level <= 8; ++level) {
        const std::int32_t child =
            nodes_[static_cast<std::size_t>(node)].children[childSlot(level, blue, green, red)];
        if (child == 0) break;
        const Node& c = nodes_[static_cast<std::size_t>(child)];
        if (c.isLeaf) {
            depth = level;
            return c.paletteIndex;
        }
        node = child;
    }
    depth = 0;
    return 0;
}

int OctreeQuantizer::paletteIndex(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const {
    int depth = 0;
    return leafOf(blue, green, red, depth);
}

void OctreeQuantizer::mapRow(const std::uint8_t* pixels, int bytesPerPixel, int width,
                             std::uint8_t* indexes) const {
    if (bytesPerPixel == 4)
        mapPixels<4>(pixels, width, indexes);
    else
        mapPixels<3>(pixels, width, indexes);
}

template <int BytesPerPixel>
void OctreeQuantizer::mapPixels(const std::uint8_t* pixels, int width,
                                std::uint8_t* indexes) const {
    // The next pixel that agrees with the last looked-up one in the bits that
    // chose its leaf has the same index.
    // Keys have 24 bits: before the first lookup every key differs.
    std::uint32_t lastKey = 0xffffffffu;
    std::uint32_t leafBits = 0xffffffffu;
    std::uint8_t lastIndex = 0;
    for (int x = 0; x < width; ++x, pixels += BytesPerPixel) {
        const std::uint32_t key = colorKey<BytesPerPixel>(pixels);
        if (((key ^ lastKey) & leafBits) != 0) {
            int depth = 0;
            lastIndex = static_cast<std::uint8_t>(leafOf(pixels[0], pixels[1], pixels[2], depth));
            lastKey = key;
            // Without a path (depth 0) only the same colour shares the answer.
            leafBits = depth == 0 ? 0xffffffu : leafKeyBits(depth);
        }
        indexes[x] = lastIndex;
    }
}

bool OctreeQuantizer::paletteColor(int index, std::uint8_t& blue, std::uint8_t& green,
                                   std::uint8_t& red) const {
    if (index < 0 || index >= static_cast<int>(palette_.size())) return false;
    const Color& c = palette_[static_cast<std::size_t>(index)];
    blue = c.blue;
    green = c.green;
    red = c.red;
    return true;
}

int OctreeQuantizer::nodeAt(const std::vector<int>& path) const {
    std::int32_t node = Root;
    for (int slot : path) {
        if (slot < 0 || slot > 7) return 0;
        node = nodes_[static_cast<std::size_t>(node)].children[slot];
        if (node == 0) return 0;
    }
    return node;
}

} // namespace kamsulo::imaging
