// The region overlay on the virtual display, driven by mouse events sent to it.
#include "capture/region/RegionOverlay.h"
#include "capture/region/RegionGeometry.h"
#include "capture/region/RegionHost.h"
#include "capture/region/RegionMemory.h"
#include "platform/ScreenGrabber.h"
#include "platform/Twips.h"
#include "support/modal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace kamsulo::capture;
using kamsulo::test::waitFor;

namespace {

class FakeHost : public RegionHost {
public:
    void clearCanvasPicture() override { calls.push_back("clear"); }
    void handOverPicture(const QImage& p) override {
        calls.push_back("picture");
        picture = p;
    }
    void showMainWindowNormal() override { calls.push_back("normal"); }
    void resetScrollBars() override { calls.push_back("resetScrollBars"); }
    void updateCanvasToolTip() override { calls.push_back("updateCanvasToolTip"); }

    std::vector<std::string> calls;
    std::optional<QImage> picture;
};

// Every pixel differs from its neighbours, and none is pure red.
QImage patternScreen(const QSize& size) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x & 0x7f, y & 0xff, ((x >> 7) & 0x0f) | ((y >> 8) << 4));
    }
    return img;
}

void send(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                  held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Collects what the overlay repaints.
class PaintSpy : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
    QRegion painted;
};

qint64 area(const QRegion& r) {
    qint64 a = 0;
    for (const QRect& q : r)
        a += qint64(q.width()) * q.height();
    return a;
}

class RegionOverlayWindow : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        kamsulo::platform::setTwipsPerPixelOverride(15);
        resetRegionMemory();
        screen = QRect(0, 0, 1920, 1080);
        frozen = patternScreen(screen.size());
    }
    void TearDown() override {
        delete overlay.data();
        kamsulo::platform::setTwipsPerPixelOverride(0);
        resetRegionMemory();
    }

    RegionOverlay* load(bool show = false) {
        overlay = new RegionOverlay(host, frozen, screen);
        if (show) {
            overlay->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(overlay.data()));
        }
        return overlay.data();
    }

    // Press at `from` (unless null), move in steps to `to`, release there.
    void drag(std::optional<QPointF> from, QPointF to, Qt::MouseButton button = Qt::LeftButton) {
        if (from) {
            send(overlay, QEvent::MouseButtonPress, *from, button);
            for (int i = 1; i <= 4; ++i)
                send(overlay, QEvent::MouseMove, *from + (to - *from) * i / 4.0, button);
        }
        send(overlay, QEvent::MouseButtonRelease, to, button);
    }

    bool closed() {
        return waitFor([&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return overlay.isNull();
        });
    }

    FakeHost host;
    QRect screen;
    QImage frozen;
    QPointer<RegionOverlay> overlay;
};

const std::vector<std::string> withoutPicture{"clear", "normal", "resetScrollBars",
                                              "updateCanvasToolTip"};
const std::vector<std::string> withPicture{"clear", "picture", "normal", "resetScrollBars",
                                           "updateCanvasToolTip"};

} // namespace

TEST_F(RegionOverlayWindow, CoversTheScreenTopmostWithCrosshair) {
    load(true);
    EXPECT_EQ(overlay->geometry(), screen);
    EXPECT_TRUE(overlay->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(overlay->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(overlay->cursor().shape(), Qt::CrossCursor);
    EXPECT_FALSE(overlay->sizeLabel()->isVisible());
    EXPECT_EQ(overlay->sizeLabel()->text(), "");
    // What the overlay shows is the frozen screen.
    EXPECT_EQ(overlay->grab().toImage().convertToFormat(QImage::Format_RGB32), frozen);
}

TEST_F(RegionOverlayWindow, LabelFollowsThePointerWithPositionAndSize) {
    load(true);
    QLabel* label = overlay->sizeLabel();
    send(overlay, QEvent::MouseButtonPress, QPointF(440, 330));
    EXPECT_TRUE(overlay->isSelecting());
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->pos(), QPoint(445, 335)); // 75 twips = 5 pixels

    send(overlay, QEvent::MouseMove, QPointF(640, 480));
    EXPECT_EQ(label->text(), "X=640 Y=480; B=200 H=150");
    EXPECT_EQ(label->pos(), QPoint(645, 485));
    EXPECT_EQ(label->size(), label->sizeHint());
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(overlay->outline(), QRect(QPoint(440, 330), QPoint(640, 480)));

    // Up and to the left of the anchor, at a position between pixels: the pixel under it.
    send(overlay, QEvent::MouseMove, QPointF(100.5, 200.25));
    EXPECT_EQ(label->text(), "X=100 Y=200; B=340 H=130");

    // Keys do nothing: Escape does not cancel.
    QTest::keyClick(overlay.data(), Qt::Key_Escape);
    EXPECT_TRUE(overlay->isSelecting());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(RegionOverlayWindow, LabelUsesTheTwipsPerPixelReadAtLoad) {
    kamsulo::platform::setTwipsPerPixelOverride(12); // 120 dpi
    load();
    send(overlay, QEvent::MouseButtonPress, QPointF(10, 10));
    send(overlay, QEvent::MouseMove, QPointF(30, 25));
    EXPECT_EQ(overlay->sizeLabel()->text(), "X=30 Y=25; B=20 H=15");
    EXPECT_EQ(overlay->sizeLabel()->pos(), QPoint(36, 31)); // 75 twips = 6,25 pixels
}

TEST_F(RegionOverlayWindow, MovesBeforeAPressDoNothing) {
    load();
    send(overlay, QEvent::MouseMove, QPointF(500, 500));
    EXPECT_FALSE(overlay->isSelecting());
    EXPECT_FALSE(overlay->sizeLabel()->isVisible());
    EXPECT_TRUE(overlay->outline().isEmpty());
}

TEST_F(RegionOverlayWindow, SmallDragsCropNothingButStillEndTheOverlay) {
    struct Case {
        const char* name;
        QPointF from, to;
    };
    const Case cases[] = {
        {"click", {500, 400}, {500, 400}},
        {"three pixels", {500, 400}, {503, 403}},
        {"three pixels back", {500, 400}, {497, 397}},
        {"wide but flat", {500, 400}, {900, 403}},
        {"tall but narrow", {500, 400}, {497, 800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host = FakeHost{};
        load(true);
        drag(c.from, c.to);
        EXPECT_EQ(host.calls, withoutPicture);
        EXPECT_FALSE(host.picture.has_value());
        EXPECT_FALSE(overlay->isSelecting());
        EXPECT_FALSE(overlay->sizeLabel()->isVisible());
        EXPECT_TRUE(closed());
    }
    // Four pixels both ways are enough.
    host = FakeHost{};
    load(true);
    drag(QPointF(500, 400), QPointF(504, 404));
    EXPECT_EQ(host.calls, withPicture);
    ASSERT_TRUE(host.picture.has_value());
    EXPECT_EQ(*host.picture, frozen.copy(501, 401, 3, 3));
}

TEST_F(RegionOverlayWindow, AnyDirectionAndAnyButtonGiveTheSameCrop) {
    const QPointF corners[4] = {{300, 200}, {700, 200}, {300, 500}, {700, 500}};
    const Qt::MouseButton buttons[4] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton,
                                        Qt::LeftButton};
    const QImage expected = frozen.copy(301, 201, 399, 299);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        host = FakeHost{};
        load(true);
        drag(corners[i], corners[3 - i], buttons[i]);
        EXPECT_EQ(host.calls, withPicture);
        ASSERT_TRUE(host.picture.has_value());
        EXPECT_EQ(host.picture->size(), QSize(399, 299));
        EXPECT_EQ(host.picture->format(), QImage::Format_RGB32);
        EXPECT_EQ(*host.picture, expected);
        EXPECT_TRUE(closed());
    }
}

TEST_F(RegionOverlayWindow, ReleaseWithoutPressMeasuresFromThePreviousAnchor) {
    // First capture of the run: the anchor is (0, 0).
    load();
    drag(std::nullopt, QPointF(200, 150));
    ASSERT_TRUE(host.picture.has_value());
    EXPECT_EQ(*host.picture, frozen.copy(1, 1, 199, 149));
    ASSERT_TRUE(closed());

    host = FakeHost{};
    load();
    drag(QPointF(100, 120), QPointF(400, 300));
    ASSERT_TRUE(closed());

    // A new overlay, released without a press: the anchor of the last one counts.
    host = FakeHost{};
    load();
    drag(std::nullopt, QPointF(600, 500));
    ASSERT_TRUE(host.picture.has_value());
    EXPECT_EQ(*host.picture, frozen.copy(101, 121, 499, 379));
    EXPECT_FLOAT_EQ(regionMemory().anchorX, 1500.0f);
    EXPECT_FLOAT_EQ(regionMemory().anchorY, 1800.0f);
}

TEST_F(RegionOverlayWindow, ReleaseOutsideTheScreenCropsOnlyWhatIsOnIt) {
    load();
    drag(QPointF(1800, 1000), QPointF(2100, 1300));
    ASSERT_TRUE(host.picture.has_value());
    EXPECT_EQ(*host.picture, frozen.copy(QRect(QPoint(1801, 1001), QPoint(1919, 1079))));
}

TEST_F(RegionOverlayWindow, OutlineIsShownButNeverCaptured) {
    // 24 twips per pixel: the 10-twip inset rounds to nothing, so the crop's left
    // and top edges lie on the outline.
    for (int tpp : {15, 24}) {
        SCOPED_TRACE(tpp);
        kamsulo::platform::setTwipsPerPixelOverride(tpp);
        host = FakeHost{};
        frozen = QImage(screen.size(), QImage::Format_RGB32);
        frozen.fill(qRgb(40, 80, 120));
        load(true);
        send(overlay, QEvent::MouseButtonPress, QPointF(200, 100));
        send(overlay, QEvent::MouseMove, QPointF(600, 400));
        const QRect outline(QPoint(200, 100), QPoint(600, 400));
        EXPECT_EQ(overlay->outline(), outline);

        const QImage shown = overlay->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown.pixel(200, 100), qRgb(255, 0, 0));
        EXPECT_EQ(shown.pixel(600, 250), qRgb(255, 0, 0));
        EXPECT_EQ(shown.pixel(400, 400), qRgb(255, 0, 0));
        EXPECT_EQ(shown.pixel(201, 101), qRgb(40, 80, 120));

        send(overlay, QEvent::MouseButtonRelease, QPointF(600, 400));
        ASSERT_TRUE(host.picture.has_value());
        const QImage& crop = *host.picture;
        EXPECT_EQ(
            crop.size(),
            cropPixels(cropTwips(200.0f * tpp, 100.0f * tpp, 600.0f * tpp, 400.0f * tpp), tpp, tpp)
                .size());
        QImage plain(crop.size(), QImage::Format_RGB32);
        plain.fill(qRgb(40, 80, 120));
        EXPECT_EQ(crop, plain);
        EXPECT_TRUE(closed());
    }
}

TEST_F(RegionOverlayWindow, MovesRepaintOnlyTheOutlineStripsAndTheLabel) {
    load(true);
    const qint64 frozenKey = overlay->frozenScreen().cacheKey();
    send(overlay, QEvent::MouseButtonPress, QPointF(100, 100));
    send(overlay, QEvent::MouseMove, QPointF(800, 600));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    PaintSpy spy;
    overlay->installEventFilter(&spy);
    const QRect oldOutline = overlay->outline();
    const QRect oldLabel = overlay->sizeLabel()->geometry();
    send(overlay, QEvent::MouseMove, QPointF(820, 611));
    const QRect newOutline = overlay->outline();
    const QRect newLabel = overlay->sizeLabel()->geometry();
    ASSERT_TRUE(waitFor([&] { return !spy.painted.isEmpty(); }));
    QCoreApplication::processEvents();
    overlay->removeEventFilter(&spy);

    const QRegion allowed =
        outlineStrips(oldOutline) + outlineStrips(newOutline) + oldLabel + newLabel;
    EXPECT_TRUE((spy.painted - allowed).isEmpty())
        << "painted outside: " << area(spy.painted - allowed) << " pixels";
    EXPECT_TRUE(spy.painted.intersects(outlineStrips(oldOutline)));
    EXPECT_TRUE(spy.painted.intersects(outlineStrips(newOutline)));
    EXPECT_LT(area(spy.painted), area(QRegion(screen)) / 100);
    // The frozen copy was neither copied nor changed by the drag.
    EXPECT_EQ(overlay->frozenScreen().cacheKey(), frozenKey);
}

// A pattern shown on the real screen, captured through the overlay.
class PatternWindow : public QWidget {
public:
    explicit PatternWindow(QImage img)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint),
          img_(std::move(img)) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, img_); }

private:
    QImage img_;
};

TEST_F(RegionOverlayWindow, CapturesThePixelsOnTheRealScreen) {
    kamsulo::platform::setTwipsPerPixelOverride(0);
    const QRect real = kamsulo::platform::screenGrabber().primaryScreen();
    ASSERT_FALSE(real.isEmpty());
    const QImage pattern = patternScreen(real.size());
    PatternWindow window(pattern);
    window.setGeometry(real);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(waitFor([&] {
        return kamsulo::platform::screenGrabber()
                   .grabNow(
                       {kamsulo::platform::GrabTarget::Rectangle, QRect(0, 0, 64, 64), nullptr})
                   .picture == pattern.copy(0, 0, 64, 64);
    }));

    overlay = RegionOverlay::showOverlay(host);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(overlay.data()));
    EXPECT_EQ(overlay->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(overlay->frozenScreen(), pattern);
    drag(QPointF(1000, 700), QPointF(40, 30), Qt::RightButton);
    ASSERT_TRUE(host.picture.has_value());
    EXPECT_EQ(*host.picture, pattern.copy(41, 31, 959, 669));
    EXPECT_TRUE(closed());
}

TEST_F(RegionOverlayWindow, OneOverlayAtATimeAndClosingEndsItQuietly) {
    RegionOverlay* first = RegionOverlay::showOverlay(host);
    overlay = first;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(first));
    EXPECT_EQ(RegionOverlay::current(), first);
    EXPECT_EQ(RegionOverlay::showOverlay(host), first);

    send(overlay, QEvent::MouseButtonPress, QPointF(10, 10));
    RegionOverlay::closeOverlay();
    EXPECT_TRUE(closed());
    EXPECT_EQ(RegionOverlay::current(), nullptr);
    EXPECT_TRUE(host.calls.empty());
    RegionOverlay::closeOverlay(); // nothing open: nothing happens
}
