#include "annotate/forms/Form2.h"
#include "FakeCanvas.h"
#include "annotate/forms/ClickLabel.h"
#include "annotate/forms/PaletteBox.h"
#include "annotate/forms/TextSettings.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace kamsulo::annotate;
using kamsulo::platform::twipsToPixelsX;
using kamsulo::platform::twipsToPixelsY;
using kamsulo::test::FakeHost;

namespace {

constexpr quint32 kBlue = 0x00FF0000, kRed = 0x000000FF;

class Form2Test : public ::testing::Test {
protected:
    void SetUp() override {
        kamsulo::platform::setTwipsPerPixelOverride(15);
        rememberedTextSettings() = TextSettings{};
        QFont f = host.canvas.font();
        f.setStrikeOut(true); // load switches it off
        f.setItalic(true);
        host.canvas.setFont(f);
        host.canvas.fore = 0x00101010;
    }
    void TearDown() override {
        Form2::unloadInstance();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rememberedTextSettings() = TextSettings{};
        kamsulo::platform::setTwipsPerPixelOverride(0);
    }

    Form2* open(quint32 currentColor = kBlue) {
        showTextDialog(host, nullptr, currentColor);
        Form2* form = Form2::loaded();
        EXPECT_NE(form, nullptr);
        if (form) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        }
        return form;
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    // Presses the dialog's colour palette on colour number n.
    void pickPalette(Form2* form, int n) {
        QTest::mousePress(
            form->Picture2(), Qt::LeftButton, {},
            QPoint(twipsToPixelsX(330 * (n % 2) + 165), twipsToPixelsY(150 * (n / 2) + 75)));
    }
    // OK, and the dialog is gone.
    void ok(Form2* form) {
        click(form->Command1());
        EXPECT_EQ(Form2::loaded(), nullptr);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    int pixelsOf(quint32 bgr) const {
        const QRgb want = qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
        int n = 0;
        const QImage& img = host.canvas.image;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) == want) ++n;
        return n;
    }

    FakeHost host;
};

} // namespace

TEST_F(Form2Test, FirstOpeningShowsTheDesignStateInTheCurrentColour) {
    Form2* form = open(kBlue);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Text hinzufügen"));
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("Text"));
    EXPECT_EQ(form->Text1()->selectedText(), QStringLiteral("Text"));
    EXPECT_EQ(form->Combo1()->currentText(), QStringLiteral("Arial"));
    EXPECT_GT(form->Combo1()->count(), 0);
    EXPECT_EQ(form->Combo2()->currentText(), QStringLiteral("10"));
    EXPECT_EQ(form->Combo2()->count(), 35);
    EXPECT_TRUE(form->Check1()->isChecked());
    EXPECT_FALSE(form->Check2()->isChecked() || form->Check3()->isChecked() ||
                 form->Check4()->isChecked());
    EXPECT_EQ(form->dialogColor(), kBlue);
    EXPECT_EQ(form->Label4()->backColor(), kBlue);
    EXPECT_EQ(form->Text1()->palette().color(QPalette::Text), QColor(Qt::blue));
    EXPECT_EQ(form->Label3()->text(), QStringLiteral("T"));

    const QFont canvasFont = host.canvas.font();
    EXPECT_TRUE(canvasFont.bold());
    EXPECT_FALSE(canvasFont.italic() || canvasFont.strikeOut() || canvasFont.underline());

    // A second press while it is open shows the same instance.
    showTextDialog(host, nullptr, kRed);
    EXPECT_EQ(Form2::loaded(), form);
}

TEST_F(Form2Test, OkPrintsAboveThePressPointAndRestoresColourAndRoundedSize) {
    host.posX = QStringLiteral("1500");
    host.posY = QStringLiteral("1200");
    Form2* form = open();
    form->Text1()->setText(QStringLiteral("Hallo"));
    EXPECT_EQ(form->Label3()->text(), QStringLiteral("H"));
    form->Combo2()->setEditText(QStringLiteral("24"));
    pickPalette(form, 10); // green
    EXPECT_EQ(form->dialogColor(), 0x0000FF00u);
    ok(form);

    ASSERT_EQ(host.canvas.prints.size(), 1u);
    const auto& print = host.canvas.prints[0];
    EXPECT_EQ(print.text, QStringLiteral("Hallo"));
    EXPECT_DOUBLE_EQ(print.x, 1500);
    EXPECT_DOUBLE_EQ(print.y, 1100);
    EXPECT_EQ(print.color, 0x0000FF00u);
    EXPECT_DOUBLE_EQ(print.font.pointSizeF(), 24);
    EXPECT_EQ(print.font.family(), QStringLiteral("Arial"));
    EXPECT_GT(pixelsOf(0x0000FF00), 0);

    EXPECT_EQ(host.canvas.fore, 0x00101010u);
    EXPECT_DOUBLE_EQ(host.canvas.font().pointSizeF(), 8); // 8.25 rounded
    EXPECT_EQ(host.canvas.font().family(), QStringLiteral("Arial"));
    EXPECT_TRUE(host.markingsDrawn);
    EXPECT_TRUE(host.skipCentering);
    EXPECT_EQ(host.mainFocus, 1);
}

TEST_F(Form2Test, SettingsComeBackNextTimeButStrikeOutDoesNot) {
    Form2* form = open();
    form->Text1()->setText(QStringLiteral("Zweiter"));
    form->Combo1()->setCurrentIndex(1);
    emit form->Combo1()->activated(1);
    const QString family = form->Combo1()->itemText(1);
    EXPECT_EQ(form->Text1()->font().family(), family);
    form->Combo2()->setEditText(QStringLiteral("16"));
    click(form->Check1()); // bold off
    click(form->Check2()); // underline on
    click(form->Check3()); // italic on
    click(form->Check4()); // strike-out on
    EXPECT_TRUE(host.canvas.font().strikeOut());
    pickPalette(form, 5); // purple
    ok(form);

    const TextSettings& last = rememberedTextSettings();
    EXPECT_EQ(last.lastText, QStringLiteral("Zweiter"));
    EXPECT_EQ(last.lastTextFont, QStringLiteral("1"));
    EXPECT_EQ(last.lastTextSize, QStringLiteral("16"));
    EXPECT_EQ(last.lastTextBold, QStringLiteral("0"));
    EXPECT_EQ(last.lastTextColor, QString::number(0x00800080));

    form = open(kBlue); // a remembered colour is not overridden
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("Zweiter"));
    EXPECT_EQ(form->Combo1()->currentText(), family);
    EXPECT_EQ(form->Text1()->font().family(), family);
    EXPECT_EQ(form->Combo2()->currentText(), QStringLiteral("16"));
    EXPECT_FALSE(form->Check1()->isChecked());
    EXPECT_TRUE(form->Check2()->isChecked());
    EXPECT_TRUE(form->Check3()->isChecked());
    EXPECT_FALSE(form->Check4()->isChecked());
    EXPECT_FALSE(form->Text1()->font().bold());
    EXPECT_TRUE(form->Text1()->font().underline());
    EXPECT_TRUE(form->Text1()->font().italic());
    EXPECT_EQ(form->dialogColor(), 0x00800080u);

    const QFont canvasFont = host.canvas.font();
    EXPECT_FALSE(canvasFont.bold());
    EXPECT_TRUE(canvasFont.underline());
    EXPECT_TRUE(canvasFont.italic());
    EXPECT_FALSE(canvasFont.strikeOut());
}

TEST_F(Form2Test, CancelAfterTogglingBoldLeavesTheCanvasFontChanged) {
    Form2* form = open();
    click(form->Check1());
    EXPECT_FALSE(form->Check1()->isChecked());
    EXPECT_FALSE(host.canvas.font().bold());
    EXPECT_FALSE(form->Label3()->font().bold());
    click(form->Check1());
    click(form->Check1());
    click(form->Command2());
    EXPECT_EQ(Form2::loaded(), nullptr);
    EXPECT_FALSE(host.canvas.font().bold());
    EXPECT_TRUE(host.canvas.prints.empty());
    EXPECT_FALSE(host.markingsDrawn);
    EXPECT_TRUE(rememberedTextSettings().lastText.isEmpty());
}

TEST_F(Form2Test, StyleBoxesFollowTheTextFontNotTheirOwnState) {
    Form2* form = open();
    // The box and the text disagree: the click goes by the text's font.
    form->Check2()->setChecked(true);
    click(form->Check2()); // the box would now be off, the text is not underlined
    EXPECT_TRUE(form->Check2()->isChecked());
    EXPECT_TRUE(form->Text1()->font().underline());
    EXPECT_TRUE(host.canvas.font().underline());

    click(form->Check4());
    EXPECT_TRUE(form->Text1()->font().strikeOut());
    EXPECT_TRUE(host.canvas.font().strikeOut());
    EXPECT_FALSE(form->Label3()->font().strikeOut());
}

TEST_F(Form2Test, OkWithEmptyTextPrintsNothingAndIsNotRestored) {
    host.canvas.fore = kRed;
    Form2* form = open(0x00FF00FF);
    form->Text1()->clear();
    EXPECT_EQ(form->Label3()->text(), QString());
    const QImage before = host.canvas.image;
    ok(form);
    EXPECT_EQ(host.canvas.image, before);
    EXPECT_EQ(rememberedTextSettings().lastText, QString());
    EXPECT_FALSE(rememberedTextSettings().lastTextColor.isEmpty());

    // Nothing is restored, and the press no longer sets the colour: design red.
    form = open(kBlue);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("Text"));
    EXPECT_EQ(form->dialogColor(), kRed);
}

TEST_F(Form2Test, SizeThatIsNoNumberKeepsThePreviousSize) {
    Form2* form = open();
    const double previewSize = form->Label3()->font().pointSizeF();
    form->Combo2()->setEditText(QStringLiteral("groß"));
    EXPECT_DOUBLE_EQ(form->Label3()->font().pointSizeF(), previewSize);
    ok(form);

    ASSERT_EQ(host.canvas.prints.size(), 1u);
    EXPECT_EQ(host.canvas.prints[0].text, QStringLiteral("Text"));
    EXPECT_DOUBLE_EQ(host.canvas.prints[0].font.pointSizeF(), 8.25);
    EXPECT_DOUBLE_EQ(host.canvas.font().pointSizeF(), 8);
    EXPECT_EQ(rememberedTextSettings().lastTextSize, QString::fromUtf8("groß"));

    // The next load shows the text again and leaves the preview size alone.
    form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Combo2()->currentText(), QString::fromUtf8("groß"));
}

TEST_F(Form2Test, ClosingTheWindowUnloadsIt) {
    Form2* form = open();
    form->Text1()->setText(QStringLiteral("weg"));
    form->close();
    EXPECT_EQ(Form2::loaded(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Text1()->text(), QStringLiteral("Text"));
}
