// The one seam between logical and device pixels.
#include "platform/DevicePixels.h"
#include "platform/PointerEventLog.h"
#include "platform/WindowBounds.h"
#include "platform/wayland/OutputLayout.h"

#include <QPainter>

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

TEST(DevicePixels, AWindowIsSeenAsItsClientWithTheFrameWithoutTheShadowOnTheMonitors) {
    struct Case {
        QMargins frame, shadow;
        QRect seen;
    };
    const QRect client(100, 50, 852, 699);
    for (const Case& c : {
             Case{{1, 29, 1, 5}, {}, QRect(99, 21, 854, 733)}, // a frame of the window manager's
             Case{{}, {26, 23, 26, 29}, QRect(126, 73, 800, 647)}, // a shadow of the client's
             Case{{-4, 0, 0, 0}, {-2, 0, 0, 0}, client},
             Case{{}, {426, 0, 426, 0}, client}, // a shadow that would leave nothing
         })
        EXPECT_EQ(seenWindowRect(client, c.frame, c.shadow), c.seen) << c.seen.x();

    // A window at x=1600 leaves the left monitor of 1920x1080; a gap below the right one.
    const QList<Monitor> monitors{{"LEFT", QRect(0, 0, 1920, 1080)},
                                  {"RIGHT", QRect(1920, 0, 1280, 1024)}};
    EXPECT_EQ(partOnMonitors(QRect(1600, 500, 586, 400), monitors.first(1)),
              QRect(1600, 500, 320, 400));
    EXPECT_TRUE(offMonitors(QRect(1600, 500, 320, 400), monitors.first(1)).isEmpty());
    EXPECT_EQ(partOnMonitors(QRect(1800, 1000, 300, 200), monitors), QRect(1800, 1000, 300, 80));
    EXPECT_EQ(offMonitors(QRect(1800, 1000, 300, 80), monitors), QRegion(120, 24, 180, 56));
    EXPECT_TRUE(partOnMonitors(QRect(-900, 0, 800, 600), monitors).isEmpty());
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
    // Sizes in steps of 2 device pixels: 342 x 1.5 = 513 needs an odd base, 3 = 2 x 1.5.
    EXPECT_EQ(baseSizeFor(QSize(581, 342), 1.5), QSize(0, 2));
    EXPECT_EQ(baseSizeFor(QSize(581, 342), 2), QSize(0, 0));
    EXPECT_EQ(baseSizeFor(QSize(581, 342), 1.25), QSize(0, 0));
}

TEST(DevicePixels, EachMouseEventGetsThePositionOfItsOwnDisplayServerEvent) {
    using K = PointerEventKind;
    PointerEventLog log;
    // Qt reads a press and two moves in one go before it delivers the press; the times
    // are milliseconds, so they repeat.
    for (const PointerRecord& r : {PointerRecord{K::Press, 7, {3539, 821}, {}, 0},
                                   PointerRecord{K::Motion, 7, {3768, 1455}, {}, 0},
                                   PointerRecord{K::Motion, 7, {3769, 1455}, {}, 0},
                                   PointerRecord{K::Release, 7, {3997, 2089}, {}, 0}}) {
        log.record(r);
    }
    struct Case {
        K kind;
        std::uint32_t time;
        QPoint estimate;
        std::optional<QPoint> found;
    };
    for (const Case& c : {
             Case{K::Press, 7, {3540, 822}, QPoint(3539, 821)},
             Case{K::Press, 7, {3540, 822}, QPoint(3539, 821)}, // its double-click
             Case{K::Motion, 8, {3770, 1456}, std::nullopt},    // made up by Qt
             Case{K::Motion, 7, {3770, 1456}, QPoint(3769, 1455)},
             Case{K::Motion, 7, {3768, 1456}, std::nullopt},  // taken with the later one
             Case{K::Release, 7, {4200, 2089}, std::nullopt}, // too far for the same event
             Case{K::Release, 7, {3998, 2090}, QPoint(3997, 2089)},
         }) {
        const std::optional<PointerRecord> r = log.take(c.kind, c.time, c.estimate, 3);
        EXPECT_EQ(r ? std::optional(r->desktop) : std::nullopt, c.found) << c.estimate.x();
    }
}

TEST(DevicePixels, WaylandOutputsKeepTheirOwnPixelsBesideOthersOfAnotherScale) {
    // 1920x1080 outputs: at 1.5 (1280x720 logical) and at 1 beside it, in either order.
    const OutputLayout firstLarger({{"A", QRect(0, 0, 1280, 720), {1920, 1080}},
                                    {"B", QRect(1280, 0, 1920, 1080), {1920, 1080}}});
    const OutputLayout firstSmaller({{"A", QRect(0, 0, 1920, 1080), {1920, 1080}},
                                     {"B", QRect(1920, 0, 1280, 720), {1920, 1080}}});
    struct Case {
        const OutputLayout& layout;
        QSize frame;
        QRect a, b, desktop, window, windowDevice;
    };
    for (const Case& c : {
             Case{firstLarger,
                  {4800, 1620},
                  {0, 0, 1920, 1080},
                  {1920, 0, 1920, 1080},
                  {0, 0, 3840, 1080},
                  {1380, 100, 400, 300},
                  {2020, 100, 400, 300}},
             // The enlarged output left room in the frame: black between the two.
             Case{firstSmaller,
                  {4800, 1620},
                  {0, 0, 1920, 1080},
                  {2880, 0, 1920, 1080},
                  {0, 0, 4800, 1080},
                  {2000, 100, 400, 300},
                  {3000, 150, 600, 450}},
         }) {
        EXPECT_EQ(c.layout.frameScale(), 1.5);
        EXPECT_EQ(c.layout.frameSize(), c.frame);
        EXPECT_EQ(c.layout.device("A"), c.a);
        EXPECT_EQ(c.layout.device("B"), c.b);
        EXPECT_EQ(c.layout.desktop(), c.desktop);
        EXPECT_EQ(c.layout.toDevice(c.window), c.windowDevice);
    }

    // The frame shows B enlarged by 1.5: a block of 300 frame pixels is 200 of B's own.
    QImage frame(4800, 1620, QImage::Format_RGB32);
    frame.fill(Qt::red);
    QPainter(&frame).fillRect(1920, 0, 2880, 1620, Qt::green);
    QPainter(&frame).fillRect(1920 + 300, 150, 300, 300, Qt::blue);
    const QImage desktop = firstLarger.fromFrame(frame);
    ASSERT_EQ(desktop.size(), QSize(3840, 1080));
    const QImage block = desktop.copy(1920 + 200, 100, 200, 200);
    QImage blue(block.size(), QImage::Format_RGB32);
    blue.fill(Qt::blue);
    EXPECT_EQ(block, blue);
    EXPECT_EQ(desktop.pixel(1919, 1079), qRgb(255, 0, 0));
    EXPECT_EQ(desktop.pixel(1920 + 199, 99), qRgb(0, 255, 0));
    EXPECT_EQ(desktop.pixel(3839, 1079), qRgb(0, 255, 0));
    // Outputs of one scale: the frame is the desktop already.
    const OutputLayout same({{"A", QRect(0, 0, 1280, 720), {1920, 1080}},
                             {"B", QRect(1280, 0, 1280, 720), {1920, 1080}}});
    const QImage whole(3840, 1080, QImage::Format_RGB32);
    EXPECT_EQ(same.fromFrame(whole).cacheKey(), whole.cacheKey());
}
