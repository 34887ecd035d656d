// A plain, recursive octree quantiser written straight from the rules, without
// the pool, the lists' bookkeeping tricks or any cache: the yardstick the fast
// one must match bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kamsulo::imaging::test {

class ReferenceOctree {
public:
    struct Color {
        std::uint8_t blue, green, red;
    };
    void build(std::size_t stride, int height, std::size_t pad, const std::uint8_t* pixels);
    int index(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const;
    const std::vector<Color>& palette() const { return palette_; }
    int last() const { return last_; }

private:
    struct Node {
        bool leaf = false;
        bool listed = false;
        std::uint64_t count = 0, blue = 0, green = 0, red = 0;
        std::unique_ptr<Node> child[8];
        int paletteIndex = 0;
    };
    void add(Node& node, int level, std::uint8_t b, std::uint8_t g, std::uint8_t r);
    bool reduce();
    void fill(Node& node, int& next);

    Node root_;
    std::vector<Node*> lists_[8]; // back() is the most recently added
    int leaves_ = 0;
    std::vector<Color> palette_;
    int last_ = 0;
};

} // namespace kamsulo::imaging::test
