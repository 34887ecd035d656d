// Capture against known screen content: a window of known pixels on the virtual
// display, read back through the capture form.
#include "X11Focus.h"
#include "capture/CaptureHost.h"
#include "capture/Form1.h"
#include "platform/ScreenGrabber.h"
#include "support/modal.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QWindow>
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

void settle(int ms = 300) {
    test::waitFor([] { return false; }, ms);
}

struct RecordingHost : capture::CaptureHost {
    QImage last;
    int calls = 0;
    void handOverCapture(const QImage& p) override {
        last = p;
        ++calls;
    }
};

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
    ASSERT_TRUE(
        test::waitFor([&] { return cover.windowHandle() && cover.windowHandle()->isExposed(); }));
    settle();

    RecordingHost host;
    capture::Form1 f(&host, platform::screenGrabber());
    const QImage shot = f.CaptureScreen();
    EXPECT_EQ(shot.size(), screen.size());
    EXPECT_TRUE(sameImage(shot, img));

    // The button hands the same picture over.
    f.Command1->click();
    EXPECT_EQ(host.calls, 1);
    EXPECT_TRUE(sameImage(host.last, img));
}

TEST(Capture, ActiveWindowIncludesTheFrame) {
    const QImage img = pattern(QSize(300, 200), 11);
    PatternWindow win(img, Qt::Window);
    win.setWindowTitle(QStringLiteral("Muster"));
    win.move(200, 150);
    win.show();
    win.activateWindow();
    auto& g = platform::screenGrabber();
    ASSERT_TRUE(test::waitFor([&] {
        return win.windowHandle() && win.windowHandle()->isExposed() &&
               g.frameOf(g.activeWindow()) == g.frameOf(win.winId());
    }));
    settle();

    capture::Form1 f(nullptr, g);
    const QImage shot = f.CaptureActiveWindow();
    const QRect frame = win.frameGeometry();
    ASSERT_EQ(shot.size(), frame.size());
    EXPECT_GT(frame.height(), win.height()) << "the window manager gave no title bar";
    // The client area sits inside the frame at its offset and holds the window's pixels.
    const QPoint offset = win.geometry().topLeft() - frame.topLeft();
    EXPECT_TRUE(sameImage(shot.copy(QRect(offset, img.size())), img));

    // The client-area flavour starts at the client's corner.
    const QImage client = f.CaptureWindow(win.winId(), true, 0, 0, img.width(), img.height());
    EXPECT_TRUE(sameImage(client, img));
}

TEST(Capture, GoneOrZeroWindowGivesAnEmptyPicture) {
    capture::Form1 f(nullptr, platform::screenGrabber());
    EXPECT_TRUE(f.CaptureWindow(0, false, 0, 0, 100, 100).isNull());
    // A window that existed and is gone.
    platform::WindowId gone = 0;
    {
        QWidget w;
        w.show();
        ASSERT_TRUE(
            test::waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); }));
        gone = w.winId();
    }
    settle(100);
    EXPECT_TRUE(f.CaptureWindow(gone, false, 0, 0, 100, 100).isNull());
    EXPECT_TRUE(f.CaptureWindow(gone, true, 0, 0, 100, 100).isNull());
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
    auto& g = platform::screenGrabber();
    ASSERT_TRUE(test::waitFor([&] { return g.activeWindow() == win.winId(); }));
    settle();
    capture::Form1 f(nullptr, g);
    // No frame: the window itself is the whole window.
    EXPECT_TRUE(sameImage(f.CaptureActiveWindow(), img));
}
