// The arithmetic of a region selection: label text, threshold, crop and outline.
#include "capture/region/LabelText.h"
#include "capture/region/RegionGeometry.h"

#include <gtest/gtest.h>

using namespace kamsulo::capture;

namespace {
constexpr float tpp = 15.0f;
float tw(float px) {
    return px * tpp;
}
} // namespace

TEST(RegionLabelText, SingleInGeneralFormatWithGermanComma) {
    EXPECT_EQ(formatFloat(640.0f), "640");
    EXPECT_EQ(formatFloat(0.5f), "0,5");
    EXPECT_EQ(formatFloat(640.0f / 15.0f), "42,66667"); // seven significant digits
    EXPECT_EQ(formatFloat(0.1f), "0,1");                // no float noise
    EXPECT_EQ(formatFloat(1234567.0f), "1234567");      // no thousands separator
    EXPECT_EQ(formatFloat(3840.25f), "3840,25");
    EXPECT_EQ(formatFloat(-0.0f), "0");
    EXPECT_EQ(formatFloat(-12.5f), "-12,5");
}

TEST(RegionLabelText, CaptionInPixelsWithSizeNeverNegative) {
    EXPECT_EQ(sizeLabelText(tw(640), tw(480), tw(440), tw(330), tpp, tpp),
              "X=640 Y=480; B=200 H=150");
    // Dragged up and to the left of the anchor.
    EXPECT_EQ(sizeLabelText(tw(440), tw(330), tw(640), tw(480), tpp, tpp),
              "X=440 Y=330; B=200 H=150");
    EXPECT_EQ(sizeLabelText(tw(100.5f), tw(200.25f), tw(440), tw(330), tpp, tpp),
              "X=100,5 Y=200,25; B=339,5 H=129,75");
    // Twips that are no multiple of the twips per pixel give fractions.
    EXPECT_EQ(sizeLabelText(100, 30, 0, 0, 15, 12), "X=6,666667 Y=2,5; B=6,666667 H=2,5");
    // 4K positions.
    EXPECT_EQ(sizeLabelText(tw(3839), tw(2159), 0, 0, tpp, tpp), "X=3839 Y=2159; B=3839 H=2159");
}

TEST(RegionGeometry, ThresholdNeedsMoreThanFiftyTwipsBothWays) {
    EXPECT_FALSE(isLargeEnough(0, 0, 0, 0));
    EXPECT_FALSE(isLargeEnough(100, 100, 150, 150)); // exactly 50: not enough
    EXPECT_TRUE(isLargeEnough(100, 100, 151, 151));
    EXPECT_TRUE(isLargeEnough(151, 151, 100, 100));
    EXPECT_FALSE(isLargeEnough(0, 0, 1000, 50));
    EXPECT_FALSE(isLargeEnough(0, 0, 50, 1000));
    // At 15 twips per pixel: three pixels are too few, four are enough.
    EXPECT_FALSE(isLargeEnough(tw(10), tw(10), tw(13), tw(13)));
    EXPECT_TRUE(isLargeEnough(tw(10), tw(10), tw(14), tw(14)));
}

TEST(RegionGeometry, TwipsRoundToNearestPixelHalvesUp) {
    EXPECT_EQ(twipsToPixel(0, 15), 0);
    EXPECT_EQ(twipsToPixel(7, 15), 0);
    EXPECT_EQ(twipsToPixel(7.5f, 15), 1);
    EXPECT_EQ(twipsToPixel(tw(3839), 15), 3839);
    EXPECT_EQ(twipsToPixel(-7.6f, 15), -1);
    EXPECT_EQ(twipsToPixel(100, 0), 0); // no division by zero
}

TEST(RegionGeometry, CropIsTheInsideOfTheOutlineInAnyDirection) {
    const QRect expected(101, 201, 199, 149);
    const QRect outline(QPoint(100, 200), QPoint(300, 350));
    const float xs[2] = {tw(100), tw(300)};
    const float ys[2] = {tw(200), tw(350)};
    for (int a = 0; a < 4; ++a) {
        const float ax = xs[a & 1], ay = ys[a >> 1];
        const float x = xs[1 - (a & 1)], y = ys[1 - (a >> 1)];
        SCOPED_TRACE(a);
        const TwipsRect t = cropTwips(ax, ay, x, y);
        EXPECT_FLOAT_EQ(t.left, tw(100) + 10);
        EXPECT_FLOAT_EQ(t.top, tw(200) + 10);
        EXPECT_FLOAT_EQ(t.width, tw(200) - 10);
        EXPECT_FLOAT_EQ(t.height, tw(150) - 10);
        EXPECT_EQ(cropPixels(t, tpp, tpp), expected);
        EXPECT_EQ(outlinePixels(ax, ay, x, y, tpp, tpp), outline);
        EXPECT_FALSE(outlineStrips(outline).intersects(expected));
    }
    // The smallest crop over the threshold still has pixels.
    EXPECT_EQ(cropPixels(cropTwips(tw(10), tw(10), tw(14), tw(14)), tpp, tpp), QRect(11, 11, 3, 3));
}

TEST(RegionGeometry, OutlineStripsAreOnePixelEdges) {
    const QRect r(10, 20, 30, 40);
    const QRegion s = outlineStrips(r);
    EXPECT_EQ(s.boundingRect(), r);
    int area = 0;
    for (const QRect& q : s)
        area += q.width() * q.height();
    EXPECT_EQ(area, 2 * 30 + 2 * 40 - 4);
    EXPECT_TRUE(s.contains(QPoint(10, 20)));
    EXPECT_TRUE(s.contains(QPoint(39, 59)));
    EXPECT_FALSE(s.contains(QPoint(11, 21)));
    EXPECT_TRUE(outlineStrips(QRect()).isEmpty());
    // A one-pixel-wide outline is a single column.
    EXPECT_EQ(outlineStrips(QRect(5, 5, 1, 10)), QRegion(5, 5, 1, 10));
}
