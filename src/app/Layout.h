#pragma once
// The window layout arithmetic, free of widgets: lengths in twips.
#include <cmath>

namespace kamsulo::app {

// Rounds to the nearest whole number, halves to even.
inline long long roundEven(double v) {
    return static_cast<long long>(std::nearbyint(v));
}

// One scroll bar as resetScrollBars leaves it.
struct ScrollBarSetup {
    long long max = 0;
    long long largeChange = 1;
    long long smallChange = 1;
    bool visible = false;
};

// LargeChange = Max \ (Max \ 500), SmallChange = Max \ (Max \ 100), integer
// divisions truncating towards zero; a division by zero keeps the previous value.
ScrollBarSetup scrollBarFor(double pictureLen, double viewportLen, long long prevLarge,
                            long long prevSmall);

// centreCanvas for one direction: the canvas offset, and whether the scroll bar goes
// back to 0 (the picture does not fit).
struct CentreResult {
    double offset = 0;
    bool resetScroll = false;
};
CentreResult centreAxis(double canvasLen, double viewportLen);

// Form_Resize: the viewport size for an outer window size W x H.
struct ViewportSize {
    double width = 0;
    double height = 0;
};
ViewportSize viewportFor(double W, double H, double vscrollWidth, double paletteHeight,
                         double hscrollHeight);

// The minimum-size rule: a dimension below its minimum snaps back, the other stays.
struct SnapResult {
    double width = 0;
    double height = 0;
    bool changed = false;
};
SnapResult snapToMinimum(double W, double H, double minW, double minH);

// A label centred in a box: R(box - label) \ 2, in the box's units.
long long centredLabelPos(double boxLen, double labelLen);

} // namespace kamsulo::app
