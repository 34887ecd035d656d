#include "imaging/StandardPalettes.h"

#include <array>

namespace kamsulo::imaging {

namespace {

constexpr int CubeStart = 16;
constexpr int GrayStart = CubeStart + 216;
constexpr int CubeStep = 51;
constexpr int GrayFirst = 8;
constexpr int GrayStep = 10;
constexpr int GrayCount = 24;

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr std::array<Rgb, 16> standardColors = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

PaletteEntry entry(int r, int g, int b) {
    return PaletteEntry{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                        static_cast<std::uint8_t>(r), 255};
}

inline int square(int v) {
    return v * v;
}

} // namespace

StandardPalette::StandardPalette(int bits) : bits_(bits) {
    if (bits == 1) {
        entries_ = {entry(0, 0, 0), entry(255, 255, 255)};
        return;
    }
    for (const Rgb& c : standardColors)
        entries_.push_back(entry(c.r, c.g, c.b));
    if (bits != 8) return;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                entries_.push_back(entry(r * CubeStep, g * CubeStep, b * CubeStep));
    for (int i = 0; i < GrayCount; ++i) {
        const int v = GrayFirst + GrayStep * i;
        entries_.push_back(entry(v, v, v));
    }
}

std::uint8_t StandardPalette::nearestOf(int first, int last, int blue, int green, int red,
                                        int& distance) const {
    int best = first;
    distance = 1 << 30;
    for (int i = first; i <= last; ++i) {
        const PaletteEntry& e = entries_[static_cast<std::size_t>(i)];
        const int d = square(e.red - red) + square(e.green - green) + square(e.blue - blue);
        if (d < distance) {
            distance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::uint8_t StandardPalette::nearest(std::uint8_t blue, std::uint8_t green,
                                      std::uint8_t red) const {
    int distance = 0;
    if (bits_ == 1) return nearestOf(0, 1, blue, green, red, distance);
    const std::uint8_t standard = nearestOf(0, 15, blue, green, red, distance);
    if (bits_ != 8) return standard;

    // The cube is separable: the nearest level per channel gives its nearest entry
    // (the step is odd, so no channel value lies halfway between two levels).
    const auto level = [](int v) { return (v + CubeStep / 2) / CubeStep; };
    const int cr = level(red), cg = level(green), cb = level(blue);
    const int cube = CubeStart + 36 * cr + 6 * cg + cb;
    const int cubeDistance =
        square(cr * CubeStep - red) + square(cg * CubeStep - green) + square(cb * CubeStep - blue);

    // The squared distance to a gray is convex in the gray level: the best is one
    // of the two levels around the mean.
    const int sum = red + green + blue;
    int below = (sum - 3 * GrayFirst) / (3 * GrayStep);
    if (sum < 3 * GrayFirst) below = 0;
    if (below > GrayCount - 1) below = GrayCount - 1;
    int gray = GrayStart + below;
    int grayDistance = 0;
    {
        int d0 = 0;
        nearestOf(GrayStart + below, GrayStart + below, blue, green, red, d0);
        grayDistance = d0;
        if (below + 1 < GrayCount) {
            int d1 = 0;
            nearestOf(GrayStart + below + 1, GrayStart + below + 1, blue, green, red, d1);
            if (d1 < d0) {
                gray = GrayStart + below + 1;
                grayDistance = d1;
            }
        }
    }

    int best = standard;
    int bestDistance = distance;
    if (cubeDistance < bestDistance) {
        best = cube;
        bestDistance = cubeDistance;
    }
    if (grayDistance < bestDistance) best = gray;
    return static_cast<std::uint8_t>(best);
}

} // namespace kamsulo::imaging
