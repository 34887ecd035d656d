#include "annotate/forms/ColorChooser.h"
#include "annotate/Bgr.h"
#include "annotate/forms/CanvasToolTip.h"
#include "annotate/forms/TextSettings.h"
#include "support/modal.h"

#include <QApplication>
#include <QColorDialog>
#include <QPalette>
#include <gtest/gtest.h>

using namespace kamsulo::annotate;
using kamsulo::test::pressButton;
using kamsulo::test::whenModal;

TEST(ResolveColor, PlainColoursPassAndSystemColoursComeFromThePalette) {
    EXPECT_EQ(resolveColor(0x000000FF), 0x000000FF);
    EXPECT_EQ(resolveColor(0x00A0CEFC), 0x00A0CEFC);
    EXPECT_EQ(resolveColor(0x02123456), 0x00123456);

    const QPalette pal = QApplication::palette();
    EXPECT_EQ(resolveColor(0x8000000F), qint64(colorToBgr(pal.color(QPalette::Button))));
    EXPECT_EQ(resolveColor(0x80000005), qint64(colorToBgr(pal.color(QPalette::Base))));
    EXPECT_EQ(resolveColor(0x80000012), qint64(colorToBgr(pal.color(QPalette::ButtonText))));
}

TEST(ResolveColor, ValuesNamingNoColourGiveMinusOne) {
    EXPECT_EQ(resolveColor(0x80000019), -1); // index 25 is unused
    EXPECT_EQ(resolveColor(0x80000040), -1); // beyond the table
    EXPECT_EQ(resolveColor(0x8000010F), -1); // stray bits above the index
    EXPECT_EQ(resolveColor(0x01000003), -1); // palette index without a palette
    EXPECT_EQ(resolveColor(-1), -1);
    EXPECT_EQ(resolveColor(0x100000000LL), -1);
}

TEST(PickColor, CancelGivesTheInitialValueUnresolved) {
    QColor shown;
    whenModal([&](QWidget* w) {
        if (auto* d = qobject_cast<QColorDialog*>(w)) shown = d->currentColor();
        EXPECT_TRUE(pressButton(w, QStringLiteral("Abbrechen")));
    });
    EXPECT_EQ(pickColor(0x8000000F), 0x8000000F);
    EXPECT_EQ(colorToBgr(shown), quint32(resolveColor(0x8000000F)));
}

TEST(PickColor, OkGivesTheChosenColourAndPreselectsTheInitialOne) {
    QColor shown;
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(d, nullptr);
        shown = d->currentColor();
        d->setCurrentColor(QColor(10, 20, 30));
        EXPECT_TRUE(pressButton(w, QStringLiteral("OK")));
    });
    EXPECT_EQ(pickColor(0x00336699), 0x001E140A);
    EXPECT_EQ(shown, QColor(0x99, 0x66, 0x33));
}

TEST(CanvasToolTip, FollowsPanningAndMarkings) {
    const QString old = QStringLiteral("alt");
    EXPECT_EQ(canvasToolTip(true, 2, old),
              QString::fromUtf8("Doppelklick: Alle eingezeichneten Markierungen löschen;  "
                                "Shift+Linke Maustaste -> Bild verschieben"));
    EXPECT_EQ(canvasToolTip(true, 0, old),
              QStringLiteral("Shift+Linke Maustaste -> Bild verschieben"));
    EXPECT_EQ(canvasToolTip(false, 1, old),
              QString::fromUtf8("Doppelklick: Alle eingezeichneten Markierungen löschen"));
    EXPECT_EQ(canvasToolTip(false, 0, old), QString());
    EXPECT_EQ(canvasToolTip(true, -1, old), old);
    EXPECT_EQ(canvasToolTip(false, -3, old), old);
}

TEST(TextSettings, NumbersFromText) {
    EXPECT_EQ(numberFromText(QStringLiteral(" 12 ")), 12.0);
    EXPECT_EQ(numberFromText(QStringLiteral("10,5")), 10.5);
    EXPECT_EQ(numberFromText(QStringLiteral("1234.5")), 1234.5);
    EXPECT_FALSE(numberFromText(QStringLiteral("")));
    EXPECT_FALSE(numberFromText(QStringLiteral("zehn")));
    EXPECT_FALSE(numberFromText(QStringLiteral("1,2,3")));
    EXPECT_FALSE(fontSizeFromText(QStringLiteral("0")));
    EXPECT_FALSE(fontSizeFromText(QStringLiteral("-4")));
    EXPECT_FALSE(fontSizeFromText(QStringLiteral("5000")));
    EXPECT_EQ(fontSizeFromText(QStringLiteral("72")), 72.0);
}

TEST(TextSettings, SizeChoicesAndRounding) {
    const QStringList sizes = textSizeChoices();
    ASSERT_EQ(sizes.size(), 35);
    EXPECT_EQ(sizes.mid(0, 7), (QStringList{"8", "9", "10", "11", "12", "14", "16"}));
    EXPECT_EQ(sizes.last(), QStringLiteral("72"));
    EXPECT_EQ(roundHalfEven(8.25), 8);
    EXPECT_EQ(roundHalfEven(9.75), 10);
    EXPECT_EQ(roundHalfEven(10.5), 10);
    EXPECT_EQ(roundHalfEven(11.5), 12);
}
