// The arithmetic of a region selection: label text, the device pixel under the pointer,
// threshold, crop and outline.
#include "capture/region/DesktopPixels.h"
#include "capture/region/LabelText.h"
#include "capture/region/RegionGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace kamsulo::capture;

namespace {
constexpr float tpp = 15.0f;
float tw(float px) {
    return px * tpp;
}

// Wayland reports pointer positions in steps of 1/256 logical pixel, rounded to the
// nearest step.
qreal asWaylandSends(qreal logical) {
    return std::round(logical * 256) / 256;
}
} // namespace

TEST(RegionLabelText, CaptionInWholeDevicePixelsWithSizeNeverNegative) {
    struct Case {
        float x, y, anchorX, anchorY, tppX, tppY;
        const char* text;
    };
    for (const Case& c : {
             Case{tw(640), tw(480), tw(440), tw(330), tpp, tpp, "X=640 Y=480; B=200 H=150"},
             // Dragged up and to the left of the anchor.
             Case{tw(440), tw(330), tw(640), tw(480), tpp, tpp, "X=440 Y=330; B=200 H=150"},
             // Twips between pixels count at the nearest pixel, never as a fraction.
             Case{100, 30, 0, 0, 15, 12, "X=7 Y=3; B=7 H=3"},
             Case{tw(3839), tw(2159), 0, 0, tpp, tpp, "X=3839 Y=2159; B=3839 H=2159"},
         })
        EXPECT_EQ(sizeLabelText(c.x, c.y, c.anchorX, c.anchorY, c.tppX, c.tppY), c.text);
}

TEST(RegionDesktopPixels, EveryDevicePixelCanBeChosenAtAnyScale) {
    for (qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        const DesktopPixels one(
            {{QRectF(0, 0, 3840 / ratio, 2160 / ratio), QRect(0, 0, 3840, 2160), ratio}});
        int wrong = 0;
        for (int d = 0; d < 3840; ++d) {
            wrong += one.deviceAt(QPointF(asWaylandSends(d / ratio), 0)).x() != d;
            wrong += one.deviceAt(QPointF(0, (d + 0.99) / ratio)).y() != d; // within the pixel
        }
        EXPECT_EQ(wrong, 0) << ratio;
    }
}

TEST(RegionDesktopPixels, APositionCountsAtThePixelsOfTheMonitorUnderIt) {
    // A first output at 1.5 (1920x1080, 1280x720 logical), a second beside it at 1 or 1.5,
    // each at its logical corner times 1.5 in the desktop's device pixels.
    const MonitorPixels first{QRectF(0, 0, 1280, 720), QRect(0, 0, 1920, 1080), 1.5};
    const DesktopPixels atOne(
        {first, {QRectF(1280, 0, 1920, 1080), QRect(1920, 0, 1920, 1080), 1.0}});
    const DesktopPixels atOneAndAHalf(
        {first, {QRectF(1280, 0, 1280, 720), QRect(1920, 0, 1920, 1080), 1.5}});
    struct Case {
        const DesktopPixels& desktop;
        QPointF logical;
        QPoint device;
    };
    for (const Case& c : {
             Case{atOne, {1280 + 120, 100}, {1920 + 120, 100}},
             Case{atOne, {asWaylandSends(301 / 1.5), asWaylandSends(251 / 1.5)}, {301, 251}},
             Case{atOne, {1279.5, 719.5}, {1919, 1079}},
             Case{atOne, {1280, 0}, {1920, 0}},
             // Below the first output, where no output is: the nearest one, continued.
             Case{atOne, {100, 800}, {150, 1200}},
             Case{atOneAndAHalf, {1280 + 80, 100}, {1920 + 120, 150}},
             Case{atOneAndAHalf, {1280 + asWaylandSends(121 / 1.5), 10}, {1920 + 121, 15}},
         })
        EXPECT_EQ(c.desktop.deviceAt(c.logical), c.device) << c.logical.x();
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
