#include "ReferenceOctree.h"

namespace kamsulo::imaging::test {

namespace {
int slot(int level, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    const int mask = 128 >> (level - 1);
    return ((r & mask) ? 4 : 0) | ((g & mask) ? 2 : 0) | ((b & mask) ? 1 : 0);
}
} // namespace

void ReferenceOctree::add(Node& node, int level, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    auto& child = node.child[slot(level, b, g, r)];
    if (!child) {
        child = std::make_unique<Node>();
        child->leaf = level == 8;
    }
    if (child->leaf) {
        if (child->count == 0) ++leaves_;
        ++child->count;
        child->blue += b;
        child->green += g;
        child->red += r;
        return;
    }
    if (!child->listed) {
        lists_[level - 1].push_back(child.get());
        child->listed = true;
    }
    add(*child, level + 1, b, g, r);
}

bool ReferenceOctree::reduce() {
    for (int list = 7; list >= 0; --list) {
        if (lists_[list].empty()) continue;
        Node* n = lists_[list].back();
        lists_[list].pop_back();
        int removed = 0;
        for (auto& c : n->child) {
            if (!c) continue;
            n->count += c->count;
            n->blue += c->blue;
            n->green += c->green;
            n->red += c->red;
            c.reset();
            ++removed;
        }
        n->leaf = true;
        leaves_ = leaves_ - removed + 1;
        return true;
    }
    return false;
}

void ReferenceOctree::fill(Node& node, int& next) {
    for (auto& c : node.child) {
        if (!c) continue;
        if (c->leaf) {
            palette_[static_cast<std::size_t>(next)] = {
                static_cast<std::uint8_t>(c->blue / c->count),
                static_cast<std::uint8_t>(c->green / c->count),
                static_cast<std::uint8_t>(c->red / c->count)};
            c->paletteIndex = next++;
        } else {
            fill(*c, next);
        }
    }
}

void ReferenceOctree::build(std::size_t stride, int height, std::size_t pad,
                            const std::uint8_t* pixels) {
    const std::size_t width = (stride - pad) / 3;
    for (int y = height - 1; y >= 0; --y)
        for (std::size_t x = width; x-- > 0;) {
            const std::uint8_t* p = pixels + static_cast<std::size_t>(y) * stride + 3 * x;
            add(root_, 1, p[0], p[1], p[2]);
            while (leaves_ > 256 && reduce()) {
            }
        }
    palette_.assign(leaves_ <= 16 ? 16 : 256, Color{0, 0, 0});
    int next = 0;
    fill(root_, next);
    last_ = next - 1;
}

int ReferenceOctree::index(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const {
    const Node* node = &root_;
    for (int level = 1; level <= 8; ++level) {
        node = node->child[slot(level, blue, green, red)].get();
        if (!node) return -1;
        if (node->leaf) return node->paletteIndex;
    }
    return -1;
}

} // namespace kamsulo::imaging::test
