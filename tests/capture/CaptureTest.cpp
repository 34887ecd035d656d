// Capture against known screen content: a window of known pixels on the virtual
// display, read back through ScreenCapture.
#include "X11Focus.h"
#include "capture/CaptureHost.h"
#include "capture/ScreenCapture.h"
#include "platform/ScreenGrabber.h"
#include "platform/x11/X11Windows.h"
#include "support/modal.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>

using namespace kamsulo;

namespace {

// A pattern no window manager or theme draws by chance.
QImage pattern(QSize size, int seed) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7 + seed) & 0xFF, (y * 13 + seed) & 0xFF, (x ^ y) & 0xFF));
    return img;
}

class PatternWindow : public QWidget {
public:
    PatternWindow(QImage img, Qt::WindowFlags flags) : QWidget(nullptr, flags), img_(img) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(img_.size());
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, img_); }

private:
    QImage img_;
};

// True once the screen shows `img` at `where` (checked at two opposite corners).
bool onScreen(const QImage& img, const QPoint& where) {
    auto& g = *platform::x11Windows();
    const QSize corner(std::min(img.width(), 32), std::min(img.height(), 32));
    const QPoint far(img.width() - corner.width(), img.height() - corner.height());
    auto shows = [&](const QPoint& at) {
        return g.grabRoot(QRect(where + at, corner)) ==
               img.copy(QRect(at, corner)).convertToFormat(QImage::Format_RGB32);
    };
    return shows(QPoint(0, 0)) && shows(far);
}

struct RecordingHost : capture::CaptureHost {
    QImage last;
    int calls = 0;
    const QWindow* window = nullptr;
    void handOverCapture(const QImage& p) override {
        last = p;
        ++calls;
    }
    const QWindow* hostWindow() const override { return window; }
};

// A screen capture asked for and answered: never inside start(), once after it.
void captureScreenToCanvas(capture::ScreenCapture& capture, const RecordingHost& host) {
    const int before = host.calls;
    int finished = 0;
    const QMetaObject::Connection c =
        QObject::connect(&capture, &capture::ScreenCapture::finished, [&finished] { ++finished; });
    capture.start(capture::CaptureKind::Screen);
    EXPECT_EQ(host.calls, before);
    EXPECT_TRUE(capture.running());
    capture.start(capture::CaptureKind::Screen); // one at a time: ignored
    EXPECT_TRUE(test::waitFor([&] { return finished > 0; }));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(host.calls, before + 1);
    EXPECT_FALSE(capture.running());
    QObject::disconnect(c);
}

bool sameImage(const QImage& a, const QImage& b) {
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(Capture, ScreenReturnsExactlyTheScreenPixels) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QImage img = pattern(screen.size(), 3);
    PatternWindow cover(img, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                                 Qt::WindowStaysOnTopHint);
    cover.move(screen.topLeft());
    cover.show();
    ASSERT_TRUE(test::waitFor([&] { return onScreen(img, screen.topLeft()); }));

    RecordingHost host;
    capture::ScreenCapture f(&host, platform::screenGrabber());
    const QImage shot = f.captureScreen().picture;
    EXPECT_EQ(shot.size(), screen.size());
    EXPECT_TRUE(sameImage(shot, img));

    // The canvas capture hands the same picture over.
    captureScreenToCanvas(f, host);
    EXPECT_EQ(host.calls, 1);
    EXPECT_TRUE(sameImage(host.last, img));

    // A grab reuses the memory of a picture let go, never of one still held.
    const QImage held = host.last;
    const QImage next = pattern(screen.size(), 5);
    PatternWindow cover2(next, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                                   Qt::WindowStaysOnTopHint);
    cover2.move(screen.topLeft());
    cover2.show();
    ASSERT_TRUE(test::waitFor([&] { return onScreen(next, screen.topLeft()); }));
    for (int round = 0; round < 3; ++round) { // the third reuses the first one's
        captureScreenToCanvas(f, host);
        EXPECT_TRUE(sameImage(host.last, next));
    }
    EXPECT_TRUE(sameImage(held, img));

    // A capture withdrawn before its answer hands nothing over and never finishes.
    bool finished = false;
    QObject::connect(&f, &capture::ScreenCapture::finished, [&finished] { finished = true; });
    f.start(capture::CaptureKind::Screen);
    f.cancel();
    EXPECT_FALSE(f.running());
    QCoreApplication::processEvents();
    EXPECT_FALSE(finished);
    EXPECT_EQ(host.calls, 4);
}

TEST(Capture, ActiveWindowIncludesTheFrame) {
    const QImage img = pattern(QSize(300, 200), 11);
    PatternWindow win(img, Qt::Window);
    win.setWindowTitle(QStringLiteral("Muster"));
    win.move(200, 150);
    win.show();
    win.activateWindow();
    auto& g = *platform::x11Windows();
    // Generous: the window manager frames and activates it in its own time.
    ASSERT_TRUE(test::waitFor(
        [&] {
            return win.windowHandle() && win.windowHandle()->isExposed() &&
                   g.frameOf(g.activeWindow()) == g.frameOf(win.winId()) &&
                   win.frameGeometry() != win.geometry() && onScreen(img, win.geometry().topLeft());
        },
        20000));

    capture::ScreenCapture f(nullptr, platform::screenGrabber());
    const QImage shot = f.captureActiveWindow().picture;
    const QRect frame = win.frameGeometry();
    ASSERT_EQ(shot.size(), frame.size());
    EXPECT_GT(frame.height(), win.height()) << "the window manager gave no title bar";
    // The client area sits inside the frame at its offset and holds the window's pixels.
    const QPoint offset = win.geometry().topLeft() - frame.topLeft();
    EXPECT_TRUE(sameImage(shot.copy(QRect(offset, img.size())), img));

    // The client area starts at the client's corner.
    const QImage client = g.grabRoot(QRect(g.clientRect(win.winId()).topLeft(), img.size()));
    EXPECT_TRUE(sameImage(client, img));
}

// The host's own window counts as no window: where the window manager still names it
// active after it stepped aside, its place shows the desktop.
TEST(Capture, TheHostsOwnWindowAsTheActiveOneGivesTheWholeScreen) {
    const QImage img = pattern(QSize(300, 200), 13);
    PatternWindow own(img, Qt::Window);
    own.move(200, 150);
    own.show();
    own.activateWindow();
    auto& g = *platform::x11Windows();
    ASSERT_TRUE(test::waitFor(
        [&] { return g.activeWindow() == own.winId() && onScreen(img, own.geometry().topLeft()); },
        20000));
    RecordingHost host;
    host.window = own.windowHandle();
    capture::ScreenCapture f(&host, platform::screenGrabber());
    EXPECT_EQ(f.captureActiveWindow().picture.size(), QGuiApplication::primaryScreen()->size());
}

TEST(Capture, GoneOrZeroWindowHasNoPlace) {
    auto& g = *platform::x11Windows();
    EXPECT_TRUE(g.windowRect(0).isNull());
    EXPECT_TRUE(g.clientRect(0).isNull());
    // A window that existed and is gone.
    platform::WindowId gone = 0;
    {
        QWidget w;
        w.show();
        ASSERT_TRUE(
            test::waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); }));
        gone = w.winId();
    }
    ASSERT_TRUE(test::waitFor([&] { return g.windowRect(gone).isNull(); }));
    EXPECT_TRUE(g.clientRect(gone).isNull());
}

// Runs on a display of its own without a window manager (see CMakeLists.txt).
TEST(CaptureWithoutWindowManager, TheInputFocusWindowServes) {
    if (hasWindowManager()) GTEST_SKIP() << "a window manager runs on this display";
    const QImage img = pattern(QSize(240, 160), 5);
    PatternWindow win(img, Qt::Window);
    win.move(100, 100);
    win.show();
    ASSERT_TRUE(
        test::waitFor([&] { return win.windowHandle() && win.windowHandle()->isExposed(); }));
    focusDirectly(win.winId());
    auto& g = *platform::x11Windows();
    ASSERT_TRUE(test::waitFor([&] {
        return g.activeWindow() == win.winId() && onScreen(img, win.geometry().topLeft());
    }));
    capture::ScreenCapture f(nullptr, platform::screenGrabber());
    // No frame: the window itself is the whole window.
    EXPECT_TRUE(sameImage(f.captureActiveWindow().picture, img));
}

// A click on the desktop leaves no active window; the window manager keeps the focus
// on a tiny window of its own. The whole screen is taken, not that window.
TEST(Capture, DesktopInFrontGivesTheWholeScreen) {
    if (!hasWindowManager()) GTEST_SKIP() << "no window manager on this display";
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QImage img = pattern(QSize(300, 200), 7);
    PatternWindow other(img, Qt::Window);
    other.move(100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(test::waitFor(
        [&] {
            return netActiveWindow() == other.winId() && onScreen(img, other.geometry().topLeft());
        },
        20000));
    clickAt(screen.topRight() + QPoint(-10, 10));
    ASSERT_TRUE(test::waitFor([&] {
        const auto focus = inputFocus();
        return netActiveWindow() == 0 && focus != 0 && focus != other.winId();
    }));

    auto& g = *platform::x11Windows();
    EXPECT_EQ(g.activeWindow(), 0u) << "the focus is on window " << inputFocus();
    capture::ScreenCapture f(nullptr, platform::screenGrabber());
    const QImage shot = f.captureActiveWindow().picture;
    EXPECT_EQ(shot.size(), screen.size());
    EXPECT_TRUE(sameImage(shot.copy(QRect(other.geometry().topLeft(), img.size())), img));
}
