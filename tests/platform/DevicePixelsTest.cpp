// The one seam between logical and device pixels.
#include "platform/DevicePixels.h"

#include <gtest/gtest.h>

using namespace kamsulo::platform;

TEST(DevicePixels, ScreenRectTakesTheMonitorOfItsNameElseScalesFromTheOrigin) {
    const QList<Monitor> monitors{{"LEFT", QRect(0, 0, 3840, 2160)},
                                  {"RIGHT", QRect(3840, 0, 2560, 2048)}};
    // Qt keeps the origin in device pixels and rounds the size: 1024 / 1.5 = 683.
    EXPECT_EQ(screenDeviceRect("RIGHT", QRect(3840, 0, 1280, 1024), 2, monitors),
              QRect(3840, 0, 2560, 2048));
    EXPECT_EQ(screenDeviceRect("RIGHT", QRect(3840, 0, 1707, 1365), 1.5, monitors),
              QRect(3840, 0, 2560, 2048));
    EXPECT_EQ(screenDeviceRect("OTHER", QRect(1920, 0, 640, 512), 2, monitors),
              QRect(1920, 0, 1280, 1024));
    EXPECT_EQ(desktopRect(monitors), QRect(0, 0, 6400, 2160));
}

TEST(DevicePixels, FrameWidthsFromTheWindowManagerBecomeLogical) {
    EXPECT_EQ(frameToLogical(QMargins(1, 32, 1, 5), 2), QMargins(1, 16, 1, 3));
    EXPECT_EQ(frameToLogical(QMargins(1, 20, 1, 5), 1), QMargins(1, 20, 1, 5));
    EXPECT_EQ(frameToLogical(QMargins(3, 30, 3, 6), 1.5), QMargins(2, 20, 2, 4));
}

TEST(DevicePixels, PointerAndRectanglesMapToWholeDevicePixels) {
    struct Case {
        QPointF logical;
        qreal ratio;
        QPoint device;
    };
    // Logical positions as Qt divides whole device pixels by the ratio.
    for (const Case& c :
         {Case{{400.5, 300.5}, 2, {801, 601}}, Case{{601 / 1.5, 1001 / 1.5}, 1.5, {601, 1001}},
          Case{{1401 / 1.25, 3 / 1.25}, 1.25, {1401, 3}}})
        EXPECT_EQ(pointerToDevice(c.logical, c.ratio), c.device) << c.ratio;
    EXPECT_EQ(globalToDevice(QPointF(3840 + 640.5, 10), QRect(3840, 0, 1280, 1024), 2),
              QPointF(3840 + 1281, 20));
    EXPECT_EQ(toDevice(QRect(5, 7, 11, 3), 1.5), QRect(8, 11, 16, 4));
    EXPECT_EQ(coveringLogical(QRect(7, 11, 3, 2), 2), QRect(3, 5, 2, 2));
    EXPECT_EQ(logicalSizeFor(QSize(3840, 2159), 2), QSize(1920, 1080));
    EXPECT_EQ(logicalSizeFor(QSize(1279, 1024), 1.5), QSize(853, 683));
}
