#pragma once
// The arithmetic of a region selection, without a window. Positions come in twips
// (pointer pixels times the screen's twips per pixel) as single-precision values.
//
// Twips become pixels by rounding to the nearest pixel, halves upwards:
// pixel = floor(twips / twipsPerPixel + 0.5). The same rule serves the outline, the
// label position and the crop, so at 15 twips per pixel the crop is exactly the
// inside of the outline: the 10-twip inset moves the left and top edges one pixel
// inwards, the right and bottom edges end just before the outline's far side.
#include <QRect>
#include <QRegion>

namespace kamsulo::capture {

// Spacing of the label from the pointer, and the rest of the fixed measures (twips).
inline constexpr float labelOffsetTwips = 75.0f;
inline constexpr float dragThresholdTwips = 50.0f;
inline constexpr float cropInsetTwips = 10.0f;

int twipsToPixel(float twips, float twipsPerPixel);

// True when the pointer moved strictly more than 50 twips in both directions.
bool isLargeEnough(float anchorX, float anchorY, float x, float y);

struct TwipsRect {
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// The rectangle cut out on release: spanned by the anchor and the release point,
// the left and top edges moved inwards by 10 twips.
TwipsRect cropTwips(float anchorX, float anchorY, float x, float y);

// That rectangle in pixels of the frozen screen (before any clipping to it).
QRect cropPixels(const TwipsRect& r, float twipsPerPixelX, float twipsPerPixelY);

// Pixels covered by the outline whose corners are the anchor and the pointer; both
// corner pixels belong to it.
QRect outlinePixels(float anchorX, float anchorY, float x, float y, float twipsPerPixelX,
                    float twipsPerPixelY);

// The four one-pixel strips that make up the outline of `outline` (top, bottom, left
// and right edge). Empty for an empty rectangle.
QRegion outlineStrips(const QRect& outline);

} // namespace kamsulo::capture
