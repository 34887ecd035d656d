// The main window's layout on the virtual display: the minimum size, the viewport
// with its scroll bars, centring, and the hover colours of the button row.
#include "annotate/Canvas.h"
#include "app/Banner.h"
#include "app/MainWindow.h"
#include "platform/Twips.h"
#include "platform/WindowFrame.h"
#include "support/modal.h"

#include <QExposeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kamsulo;
using kamsulo::app::MainButton;
using kamsulo::app::MainWindow;

namespace {

struct Shown {
    MainWindow w;
    QScrollBar* hScroll = w.findChild<QScrollBar*>(QStringLiteral("horizontalScrollBar"));
    QScrollBar* vScroll = w.findChild<QScrollBar*>(QStringLiteral("verticalScrollBar"));
    QWidget* viewport = w.findChild<QWidget*>(QStringLiteral("canvasViewport"));
    QWidget* canvas = w.findChild<QWidget*>(QStringLiteral("canvas"));
    Shown() {
        w.show();
        test::waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); });
        // The window manager's frame arrives after the map; then the window is
        // centred once more by its outer size, and stays where it is.
        test::waitFor([&] {
            const std::optional<QMargins> frame = platform::frameExtents(w.winId());
            return frame && std::abs(w.geometry().marginsAdded(*frame).center().x() -
                                     w.screen()->geometry().center().x()) <= 1;
        });
        w.findChild<QWidget*>(QStringLiteral("banner"))->hide();
    }
    QImage picture(int dxTwips, int dyTwips) {
        const int tpp = int(platform::twipsPerPixelX());
        QImage img(viewport->width() + dxTwips / tpp, viewport->height() + dyTwips / tpp,
                   QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        return img;
    }
    // The system uncovers the window: it centres the canvas again.
    void expose() {
        QExposeEvent e(QRegion(w.rect()));
        QCoreApplication::sendEvent(w.windowHandle(), &e);
        QCoreApplication::sendPostedEvents();
    }
    QToolButton* button(MainButton b) {
        return w.findChild<QToolButton*>(QStringLiteral("button%1").arg(int(b)));
    }
};

} // namespace

TEST(WindowLayout, ScrollBarsFollowThePicture) {
    Shown s;
    const int pageBefore = s.hScroll->pageStep();
    s.w.handOverCapture(s.picture(300, 0));
    s.w.resetScrollBars();
    s.expose();
    EXPECT_EQ(s.hScroll->maximum(), 400);
    EXPECT_EQ(s.hScroll->pageStep(), pageBefore);
    EXPECT_EQ(s.hScroll->singleStep(), 100);
    // Wider but not taller: only the horizontal bar, picture at left 0, centred vertically.
    EXPECT_FALSE(s.hScroll->isHidden());
    EXPECT_TRUE(s.vScroll->isHidden());
    EXPECT_EQ(s.canvas->x(), 0);

    s.w.handOverCapture(s.picture(2100, 0));
    s.w.resetScrollBars();
    EXPECT_EQ(s.hScroll->maximum(), 2200);
    EXPECT_EQ(s.hScroll->pageStep(), 550);
    EXPECT_EQ(s.hScroll->singleStep(), 100);

    // Small in both directions: centred, no bars.
    s.w.handOverCapture(s.picture(-1500, -900));
    s.w.resetScrollBars();
    s.expose();
    EXPECT_TRUE(s.hScroll->isHidden());
    EXPECT_TRUE(s.vScroll->isHidden());
    const QRect vp = s.viewport->rect();
    EXPECT_NEAR(s.canvas->geometry().center().x(), vp.center().x(), 1);
    EXPECT_NEAR(s.canvas->geometry().center().y(), vp.center().y(), 1);
}

TEST(WindowLayout, PaintWhileScrolledReturnsToTheTopLeft) {
    Shown s;
    s.w.handOverCapture(s.picture(3000, 3000));
    s.w.resetScrollBars();
    s.hScroll->setValue(900);
    s.vScroll->setValue(600);
    EXPECT_EQ(s.canvas->pos(), QPoint(-60, -40));
    s.expose();
    EXPECT_EQ(s.hScroll->value(), 0);
    EXPECT_EQ(s.vScroll->value(), 0);
    EXPECT_EQ(s.canvas->pos(), QPoint(0, 0));

    // After a text was placed the next centring is skipped once.
    s.hScroll->setValue(900);
    s.w.setSkipCentering();
    s.expose();
    EXPECT_EQ(s.hScroll->value(), 900);
    s.expose();
    EXPECT_EQ(s.hScroll->value(), 0);
}

TEST(WindowLayout, TooSmallSnapsBackInThatDimensionOnly) {
    Shown s;
    const QSize start = s.w.size();
    s.w.resize(start.width() - 150, start.height() + 60);
    ASSERT_TRUE(test::waitFor([&] { return s.w.width() == start.width(); }, 3000));
    EXPECT_EQ(s.w.height(), start.height() + 60);
    s.w.resize(start.width() + 40, start.height() - 100);
    ASSERT_TRUE(test::waitFor([&] { return s.w.height() == start.height(); }, 3000));
    EXPECT_EQ(s.w.width(), start.width() + 40);
}

TEST(WindowLayout, HoverColoursFollowThePointer) {
    Shown s;
    const long long face = -2147483633, yellow = 65535;
    // The pointer really moves (the events come back from the X server).
    QTest::mouseMove(s.button(MainButton::Screen), QPoint(10, 10));
    ASSERT_TRUE(test::waitFor([&] { return s.w.buttonBackColor(MainButton::Screen) == yellow; }));
    for (MainButton b :
         {MainButton::Region, MainButton::Window, MainButton::Clipboard, MainButton::Tray})
        EXPECT_EQ(s.w.buttonBackColor(b), face);
    QTest::mouseMove(s.button(MainButton::Window), QPoint(10, 10));
    ASSERT_TRUE(test::waitFor([&] { return s.w.buttonBackColor(MainButton::Window) == yellow; }));
    EXPECT_EQ(s.w.buttonBackColor(MainButton::Screen), face);
    EXPECT_EQ(s.w.buttonBackColor(MainButton::Window), yellow);
    EXPECT_EQ(s.button(MainButton::Window)->palette().color(QPalette::Button), QColor(255, 255, 0));
    // One flat yellow from top to bottom, no gradient.
    const QImage buttonFace = s.button(MainButton::Window)->grab().toImage();
    EXPECT_EQ(buttonFace.pixelColor(3, 3), QColor(255, 255, 0));
    EXPECT_EQ(buttonFace.pixelColor(3, buttonFace.height() - 4), QColor(255, 255, 0));
    // Over the bare window every button is normal again.
    QTest::mouseMove(&s.w, QPoint(s.w.width() - 5, 40));
    ASSERT_TRUE(test::waitFor([&] { return s.w.buttonBackColor(MainButton::Window) == face; }));
    for (int i = 0; i < app::kMainButtonCount; ++i)
        EXPECT_EQ(s.w.buttonBackColor(MainButton(i)), face);
}

// At start the layout works from the outer size, frame included, as after any
// resize; and the outer window is centred on the screen.
TEST(WindowLayout, StartLayoutUsesTheOuterSizeAndCentresTheFrame) {
    MainWindow w;
    w.show();
    QWidget* banner = w.findChild<QWidget*>(QStringLiteral("banner"));
    std::optional<QMargins> frame;
    ASSERT_TRUE(
        test::waitFor([&] { return (frame = platform::frameExtents(w.winId())).has_value(); }));
    const auto bannerHeightFor = [&](int clientHeight) {
        const double outer =
            platform::pixelsToTwipsY(clientHeight + frame->top() + frame->bottom());
        const double strip = platform::pixelsToTwipsY(
            w.findChild<QWidget*>(QStringLiteral("paletteStrip"))->height());
        return platform::twipsToPixelsY(outer - 1550 - strip);
    };
    ASSERT_TRUE(test::waitFor([&] { return banner->height() == bannerHeightFor(w.height()); }))
        << banner->height() << " instead of " << bannerHeightFor(w.height());
    const QRect screen = w.screen()->geometry();
    const auto centred = [&] {
        const QRect outer = w.geometry().marginsAdded(*frame);
        return std::abs(outer.center().x() - screen.center().x()) <= 1 &&
               std::abs(outer.center().y() - screen.center().y()) <= 1;
    };
    EXPECT_TRUE(test::waitFor(centred)) << "outer window not centred";

    // Larger and back: the same layout as at start.
    const QSize start = w.size();
    const QImage before = w.grab(QRect(QPoint(0, 0), banner->geometry().bottomRight())).toImage();
    w.resize(start + QSize(120, 90));
    ASSERT_TRUE(
        test::waitFor([&] { return banner->height() == bannerHeightFor(start.height() + 90); }));
    w.resize(start);
    ASSERT_TRUE(test::waitFor([&] { return banner->height() == bannerHeightFor(start.height()); }));
    EXPECT_EQ(w.grab(QRect(QPoint(0, 0), banner->geometry().bottomRight())).toImage(), before);
}
