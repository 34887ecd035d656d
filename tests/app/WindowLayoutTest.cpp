// The main window's layout on the virtual display: the minimum size, the viewport
// with its scroll bars, centring, and the hover colours of the button row.
#include "annotate/AnzeigePic.h"
#include "app/Banner.h"
#include "app/frmAnzeige.h"
#include "platform/Twips.h"
#include "support/modal.h"

#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kamsulo;
using kamsulo::app::frmAnzeige;

namespace {

struct Shown {
    frmAnzeige w;
    Shown() {
        w.show();
        test::waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); });
        test::waitFor([] { return false; }, 100);
    }
    QImage picture(int dxTwips, int dyTwips) {
        const int tpp = platform::twipsPerPixelX();
        QImage img(w.AnzeigePicCont->width() + dxTwips / tpp,
                   w.AnzeigePicCont->height() + dyTwips / tpp, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        return img;
    }
};

} // namespace

TEST(WindowLayout, ScrollBarsFollowThePicture) {
    Shown s;
    s.w.Picture1->hide();
    const int pageBefore = s.w.HScroll1->pageStep();
    s.w.handOverCapture(s.picture(300, 0));
    s.w.scroll_init();
    s.w.zentrieren();
    EXPECT_EQ(s.w.HScroll1->maximum(), 400);
    EXPECT_EQ(s.w.HScroll1->pageStep(), pageBefore);
    EXPECT_EQ(s.w.HScroll1->singleStep(), 100);
    // Wider but not taller: only the horizontal bar, picture at left 0, centred vertically.
    EXPECT_FALSE(s.w.HScroll1->isHidden());
    EXPECT_TRUE(s.w.VScroll1->isHidden());
    EXPECT_EQ(s.w.AnzeigePic->x(), 0);

    s.w.handOverCapture(s.picture(2100, 0));
    s.w.scroll_init();
    EXPECT_EQ(s.w.HScroll1->maximum(), 2200);
    EXPECT_EQ(s.w.HScroll1->pageStep(), 550);
    EXPECT_EQ(s.w.HScroll1->singleStep(), 100);

    // Small in both directions: centred, no bars.
    s.w.handOverCapture(s.picture(-1500, -900));
    s.w.scroll_init();
    s.w.zentrieren();
    EXPECT_TRUE(s.w.HScroll1->isHidden());
    EXPECT_TRUE(s.w.VScroll1->isHidden());
    const QRect vp = s.w.AnzeigePicCont->rect();
    EXPECT_NEAR(s.w.AnzeigePic->geometry().center().x(), vp.center().x(), 1);
    EXPECT_NEAR(s.w.AnzeigePic->geometry().center().y(), vp.center().y(), 1);
}

TEST(WindowLayout, PaintWhileScrolledReturnsToTheTopLeft) {
    Shown s;
    s.w.Picture1->hide();
    s.w.handOverCapture(s.picture(3000, 3000));
    s.w.scroll_init();
    s.w.HScroll1->setValue(900);
    s.w.VScroll1->setValue(600);
    EXPECT_EQ(s.w.AnzeigePic->pos(), QPoint(-60, -40));
    s.w.Form_Paint();
    EXPECT_EQ(s.w.HScroll1->value(), 0);
    EXPECT_EQ(s.w.VScroll1->value(), 0);
    EXPECT_EQ(s.w.AnzeigePic->pos(), QPoint(0, 0));

    // After a text was placed the next centring is skipped once.
    s.w.HScroll1->setValue(900);
    s.w.SkipCentering = true;
    s.w.Form_Paint();
    EXPECT_EQ(s.w.HScroll1->value(), 900);
    EXPECT_FALSE(s.w.SkipCentering);
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
    QTest::mouseMove(s.w.Command1[1], QPoint(10, 10));
    ASSERT_TRUE(test::waitFor([&] { return s.w.buttonBackColor(1) == yellow; }));
    for (int i : {0, 2, 3, 8})
        EXPECT_EQ(s.w.buttonBackColor(i), face);
    QTest::mouseMove(s.w.Command1[2], QPoint(10, 10));
    ASSERT_TRUE(test::waitFor([&] { return s.w.buttonBackColor(2) == yellow; }));
    EXPECT_EQ(s.w.buttonBackColor(1), face);
    EXPECT_EQ(s.w.buttonBackColor(2), yellow);
    EXPECT_EQ(s.w.Command1[2]->palette().color(QPalette::Button), QColor(255, 255, 0));
    // Over the bare window every button is normal again.
    QTest::mouseMove(&s.w, QPoint(s.w.width() - 5, 40));
    ASSERT_TRUE(test::waitFor([&] { return s.w.buttonBackColor(2) == face; }));
    for (int i = 0; i < frmAnzeige::buttonCount; ++i)
        EXPECT_EQ(s.w.buttonBackColor(i), face);
}
