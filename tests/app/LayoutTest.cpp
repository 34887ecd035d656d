// Layout arithmetic with the window's own numbers.
#include "app/Layout.h"

#include <gtest/gtest.h>

using namespace kamsulo::app;

TEST(LayoutArithmetic, ScrollRangeAndSteps) {
    // 300 twips wider: Max 400; 400 \ 500 = 0 keeps the page step; arrow step 100.
    ScrollBarSetup s = scrollBarFor(8535, 8235, 7, 3);
    EXPECT_EQ(s.max, 400);
    EXPECT_EQ(s.largeChange, 7);
    EXPECT_EQ(s.smallChange, 100);
    EXPECT_TRUE(s.visible);

    // 2,000 twips wider: Max 2100, LargeChange 2100 \ 4 = 525, SmallChange 2100 \ 21 = 100.
    s = scrollBarFor(10235, 8235, 7, 3);
    EXPECT_EQ(s.max, 2100);
    EXPECT_EQ(s.largeChange, 525);
    EXPECT_EQ(s.smallChange, 100);

    // A picture that fits: hidden, and both steps kept where the divisions fail.
    s = scrollBarFor(3000, 8235, 7, 3);
    EXPECT_FALSE(s.visible);
    EXPECT_EQ(s.max, 3000 - 8135);
    EXPECT_EQ(s.largeChange, 5135 / 10); // -5135 \ (-5135 \ 500) = -5135 \ -10
    EXPECT_EQ(s.smallChange, 5135 / 51);

    // A 4K capture at 15 twips per pixel stays exact beyond 16 bits.
    s = scrollBarFor(3840.0 * 15, 8235, 1, 1);
    EXPECT_EQ(s.max, 57600 - 8135);
    EXPECT_EQ(s.largeChange, 49465 / (49465 / 500));
}

TEST(LayoutArithmetic, RoundingIsHalfToEven) {
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(3.5), 4);
    EXPECT_EQ(roundEven(-2.5), -2);
    EXPECT_EQ(centredLabelPos(101, 50), 25); // R(51) \ 2
    EXPECT_EQ(centredLabelPos(50, 101), -25);
}

TEST(LayoutArithmetic, CentringAndMinimum) {
    CentreResult c = centreAxis(1000, 3000);
    EXPECT_DOUBLE_EQ(c.offset, 1000);
    EXPECT_FALSE(c.resetScroll);
    c = centreAxis(1001, 3000);
    EXPECT_DOUBLE_EQ(c.offset, 999.5); // unrounded
    c = centreAxis(5000, 3000);
    EXPECT_DOUBLE_EQ(c.offset, 0);
    EXPECT_TRUE(c.resetScroll);

    SnapResult s = snapToMinimum(5000, 9000, 8955, 5730);
    EXPECT_TRUE(s.changed);
    EXPECT_DOUBLE_EQ(s.width, 8955);
    EXPECT_DOUBLE_EQ(s.height, 9000);
    s = snapToMinimum(9000, 9000, 8955, 5730);
    EXPECT_FALSE(s.changed);

    const ViewportSize v = viewportFor(8955, 5730, 150, 540, 150);
    EXPECT_DOUBLE_EQ(v.width, 8405);
    EXPECT_DOUBLE_EQ(v.height, 3490);
}
