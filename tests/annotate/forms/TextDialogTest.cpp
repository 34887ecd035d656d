#include "annotate/forms/TextDialog.h"
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

class TextDialogTest : public ::testing::Test {
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
        TextDialog::unloadInstance();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rememberedTextSettings() = TextSettings{};
        kamsulo::platform::setTwipsPerPixelOverride(0);
    }

    TextDialog* open(quint32 currentColor = kBlue) {
        showTextDialog(host, nullptr, currentColor);
        TextDialog* form = TextDialog::loaded();
        EXPECT_NE(form, nullptr);
        if (form) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        }
        return form;
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    // Presses the dialog's colour palette on colour number n.
    void pickPalette(TextDialog* form, int n) {
        QTest::mousePress(
            form->colorGrid(), Qt::LeftButton, {},
            QPoint(twipsToPixelsX(330 * (n % 2) + 165), twipsToPixelsY(150 * (n / 2) + 75)));
    }
    // OK, and the dialog is gone.
    void ok(TextDialog* form) {
        click(form->okButton());
        EXPECT_EQ(TextDialog::loaded(), nullptr);
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

TEST_F(TextDialogTest, FirstOpeningShowsTheDesignStateInTheCurrentColour) {
    TextDialog* form = open(kBlue);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Text hinzufügen"));
    EXPECT_EQ(form->textEdit()->text(), QStringLiteral("Text"));
    EXPECT_EQ(form->textEdit()->selectedText(), QStringLiteral("Text"));
    EXPECT_EQ(form->fontBox()->currentText(), QStringLiteral("Arial"));
    EXPECT_GT(form->fontBox()->count(), 0);
    EXPECT_EQ(form->sizeBox()->currentText(), QStringLiteral("10"));
    EXPECT_EQ(form->sizeBox()->count(), 35);
    EXPECT_TRUE(form->boldBox()->isChecked());
    EXPECT_FALSE(form->underlineBox()->isChecked() || form->italicBox()->isChecked() ||
                 form->strikeOutBox()->isChecked());
    EXPECT_EQ(form->dialogColor(), kBlue);
    EXPECT_EQ(form->colorSwatch()->color(), kBlue);
    EXPECT_EQ(form->textEdit()->palette().color(QPalette::Text), QColor(Qt::blue));
    EXPECT_EQ(form->previewLetter()->text(), QStringLiteral("T"));

    const QFont canvasFont = host.canvas.font();
    EXPECT_TRUE(canvasFont.bold());
    EXPECT_FALSE(canvasFont.italic() || canvasFont.strikeOut() || canvasFont.underline());

    // A second press while it is open shows the same instance.
    showTextDialog(host, nullptr, kRed);
    EXPECT_EQ(TextDialog::loaded(), form);
}

TEST_F(TextDialogTest, OkPrintsAboveThePressPointAndRestoresColourAndRoundedSize) {
    host.posX = QStringLiteral("1500");
    host.posY = QStringLiteral("1200");
    TextDialog* form = open();
    form->textEdit()->setText(QStringLiteral("Hallo"));
    EXPECT_EQ(form->previewLetter()->text(), QStringLiteral("H"));
    form->sizeBox()->setEditText(QStringLiteral("24"));
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

TEST_F(TextDialogTest, SettingsComeBackNextTimeButStrikeOutDoesNot) {
    TextDialog* form = open();
    form->textEdit()->setText(QStringLiteral("Zweiter"));
    form->fontBox()->setCurrentIndex(1);
    emit form->fontBox()->activated(1);
    const QString family = form->fontBox()->itemText(1);
    EXPECT_EQ(form->textEdit()->font().family(), family);
    form->sizeBox()->setEditText(QStringLiteral("16"));
    click(form->boldBox());      // bold off
    click(form->underlineBox()); // underline on
    click(form->italicBox());    // italic on
    click(form->strikeOutBox()); // strike-out on
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
    EXPECT_EQ(form->textEdit()->text(), QStringLiteral("Zweiter"));
    EXPECT_EQ(form->fontBox()->currentText(), family);
    EXPECT_EQ(form->textEdit()->font().family(), family);
    EXPECT_EQ(form->sizeBox()->currentText(), QStringLiteral("16"));
    EXPECT_FALSE(form->boldBox()->isChecked());
    EXPECT_TRUE(form->underlineBox()->isChecked());
    EXPECT_TRUE(form->italicBox()->isChecked());
    EXPECT_FALSE(form->strikeOutBox()->isChecked());
    EXPECT_FALSE(form->textEdit()->font().bold());
    EXPECT_TRUE(form->textEdit()->font().underline());
    EXPECT_TRUE(form->textEdit()->font().italic());
    EXPECT_EQ(form->dialogColor(), 0x00800080u);

    const QFont canvasFont = host.canvas.font();
    EXPECT_FALSE(canvasFont.bold());
    EXPECT_TRUE(canvasFont.underline());
    EXPECT_TRUE(canvasFont.italic());
    EXPECT_FALSE(canvasFont.strikeOut());
}

TEST_F(TextDialogTest, CancelAfterTogglingBoldLeavesTheCanvasFontChanged) {
    TextDialog* form = open();
    click(form->boldBox());
    EXPECT_FALSE(form->boldBox()->isChecked());
    EXPECT_FALSE(host.canvas.font().bold());
    EXPECT_FALSE(form->previewLetter()->font().bold());
    click(form->boldBox());
    click(form->boldBox());
    click(form->cancelButton());
    EXPECT_EQ(TextDialog::loaded(), nullptr);
    EXPECT_FALSE(host.canvas.font().bold());
    EXPECT_TRUE(host.canvas.prints.empty());
    EXPECT_FALSE(host.markingsDrawn);
    EXPECT_TRUE(rememberedTextSettings().lastText.isEmpty());
}

TEST_F(TextDialogTest, StyleBoxesFollowTheTextFontNotTheirOwnState) {
    TextDialog* form = open();
    // The box and the text disagree: the click goes by the text's font.
    form->underlineBox()->setChecked(true);
    click(form->underlineBox()); // the box would now be off, the text is not underlined
    EXPECT_TRUE(form->underlineBox()->isChecked());
    EXPECT_TRUE(form->textEdit()->font().underline());
    EXPECT_TRUE(host.canvas.font().underline());

    click(form->strikeOutBox());
    EXPECT_TRUE(form->textEdit()->font().strikeOut());
    EXPECT_TRUE(host.canvas.font().strikeOut());
    EXPECT_FALSE(form->previewLetter()->font().strikeOut());
}

TEST_F(TextDialogTest, OkWithEmptyTextPrintsNothingAndIsNotRestored) {
    host.canvas.fore = kRed;
    TextDialog* form = open(0x00FF00FF);
    form->textEdit()->clear();
    EXPECT_EQ(form->previewLetter()->text(), QString());
    const QImage before = host.canvas.image;
    ok(form);
    EXPECT_EQ(host.canvas.image, before);
    EXPECT_EQ(rememberedTextSettings().lastText, QString());
    EXPECT_FALSE(rememberedTextSettings().lastTextColor.isEmpty());

    // Nothing is restored, and the press no longer sets the colour: design red.
    form = open(kBlue);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->textEdit()->text(), QStringLiteral("Text"));
    EXPECT_EQ(form->dialogColor(), kRed);
}

TEST_F(TextDialogTest, SizeThatIsNoNumberKeepsThePreviousSize) {
    TextDialog* form = open();
    const double previewSize = form->previewLetter()->font().pointSizeF();
    form->sizeBox()->setEditText(QStringLiteral("groß"));
    EXPECT_DOUBLE_EQ(form->previewLetter()->font().pointSizeF(), previewSize);
    ok(form);

    ASSERT_EQ(host.canvas.prints.size(), 1u);
    EXPECT_EQ(host.canvas.prints[0].text, QStringLiteral("Text"));
    EXPECT_DOUBLE_EQ(host.canvas.prints[0].font.pointSizeF(), 8.25);
    EXPECT_DOUBLE_EQ(host.canvas.font().pointSizeF(), 8);
    EXPECT_EQ(rememberedTextSettings().lastTextSize, QString::fromUtf8("groß"));

    // The next load shows the text again and leaves the preview size alone.
    form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->sizeBox()->currentText(), QString::fromUtf8("groß"));
}

TEST_F(TextDialogTest, ClosingTheWindowUnloadsIt) {
    TextDialog* form = open();
    form->textEdit()->setText(QStringLiteral("weg"));
    form->close();
    EXPECT_EQ(TextDialog::loaded(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->textEdit()->text(), QStringLiteral("Text"));
}
