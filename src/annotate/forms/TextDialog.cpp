#include "annotate/forms/TextDialog.h"

#include "annotate/Bgr.h"
#include "annotate/CanvasTarget.h"
#include "annotate/TextDialogHost.h"
#include "annotate/forms/ClickLabel.h"
#include "annotate/forms/ColorChooser.h"
#include "annotate/forms/PaletteBox.h"
#include "annotate/forms/TextSettings.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kamsulo::annotate {

using platform::placeTwips;

namespace {

TextDialog* g_instance = nullptr;

constexpr quint32 kDesignColor = 0x000000FF; // red
constexpr double kTextAboveTwips = 100;      // the text's top edge above the press point

// Where Tahoma is missing, a face of similar width keeps the captions inside their
// design sizes.
QFont captionFont() {
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Tahoma"))
                                      ? QStringLiteral("Tahoma")
                                      : QStringLiteral("Liberation Sans");
    QFont f(family);
    f.setPointSizeF(8.25);
    return f;
}

bool fontHasStyle(const QFont& f, FontStyle style) {
    switch (style) {
    case FontStyle::Bold:
        return f.bold();
    case FontStyle::Underline:
        return f.underline();
    case FontStyle::Italic:
        return f.italic();
    case FontStyle::StrikeOut:
        return f.strikeOut();
    }
    return false;
}

void setFontStyle(QFont& f, FontStyle style, bool on) {
    switch (style) {
    case FontStyle::Bold:
        f.setBold(on);
        break;
    case FontStyle::Underline:
        f.setUnderline(on);
        break;
    case FontStyle::Italic:
        f.setItalic(on);
        break;
    case FontStyle::StrikeOut:
        f.setStrikeOut(on);
        break;
    }
}

void setTextColor(QWidget* w, QPalette::ColorRole role, quint32 bgr) {
    QPalette pal = w->palette();
    pal.setColor(role, bgrColor(bgr));
    w->setPalette(pal);
}

QString checkValue(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

TextDialog* TextDialog::instance(TextDialogHost& host, QWidget* owner) {
    if (!g_instance) g_instance = new TextDialog(host, owner);
    return g_instance;
}

TextDialog* TextDialog::loaded() {
    return g_instance;
}

void TextDialog::unloadInstance() {
    if (g_instance) g_instance->unload();
}

TextDialog::TextDialog(TextDialogHost& host, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), host_(host) {
    setObjectName(QStringLiteral("TextDialog"));
    setWindowTitle(QStringLiteral("Text hinzufügen"));
    platform::resizeClientTwips(this, 4875, 2340);
    setFixedSize(size());
    buildControls();
    loadSettings();
}

TextDialog::~TextDialog() {
    if (g_instance == this) g_instance = nullptr;
}

void TextDialog::buildControls() {
    const QFont dialogFont = captionFont();

    textEdit_ = new QLineEdit(QStringLiteral("Text"), this);
    QFont textFont(QStringLiteral("Arial"));
    textFont.setPointSizeF(8.25);
    textFont.setBold(true);
    textEdit_->setFont(textFont);
    placeTwips(textEdit_, 60, 120, 3255, 315);

    fontBox_ = new QComboBox(this);
    fontBox_->setEditable(true);
    fontBox_->setInsertPolicy(QComboBox::NoInsert);
    fontBox_->setFont(dialogFont);
    placeTwips(fontBox_, 60, 780, 2415, 315);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setFont(dialogFont);
    okButton_->setAutoDefault(false);
    placeTwips(okButton_, 3480, 120, 495, 315);

    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setFont(dialogFont);
    cancelButton_->setAutoDefault(false);
    placeTwips(cancelButton_, 4080, 120, 735, 315);

    fontLabel_ = new QLabel(QStringLiteral("Font:"), this);
    fontLabel_->setFont(dialogFont);
    placeTwips(fontLabel_, 120, 540, 390, 195);
    fontLabel_->adjustSize();

    sizeLabel_ = new QLabel(QStringLiteral("Size:"), this);
    sizeLabel_->setFont(dialogFont);
    placeTwips(sizeLabel_, 1380, 1200, 345, 195);
    sizeLabel_->adjustSize();

    auto makeCheck = [&](const QString& caption, FontStyle style, double left, double top,
                         double width) {
        auto* box = new QCheckBox(caption, this);
        QFont f = dialogFont;
        setFontStyle(f, style, true);
        box->setFont(f);
        placeTwips(box, left, top, width, 255);
        // The style's indicator is wider than the classic one: let the caption show.
        if (box->sizeHint().width() > box->width())
            box->resize(box->sizeHint().width(), box->height());
        return box;
    };
    boldBox_ = makeCheck(QStringLiteral("Fett"), FontStyle::Bold, 60, 1200, 1215);
    boldBox_->setChecked(true);
    underlineBox_ = makeCheck(QStringLiteral("Underline"), FontStyle::Underline, 60, 1500, 1215);
    italicBox_ = makeCheck(QStringLiteral("Italics"), FontStyle::Italic, 60, 1800, 1215);
    strikeOutBox_ = makeCheck(QStringLiteral("Strike Out"), FontStyle::StrikeOut, 1440, 1800, 735);

    sizeBox_ = new QComboBox(this);
    sizeBox_->setEditable(true);
    sizeBox_->setInsertPolicy(QComboBox::NoInsert);
    sizeBox_->setFont(dialogFont);
    sizeBox_->setEditText(QStringLiteral("10"));
    placeTwips(sizeBox_, 1800, 1200, 675, 315);

    previewLetter_ = new QLabel(QStringLiteral("T"), this);
    previewLetter_->setFont(textFont);
    placeTwips(previewLetter_, 3960, 600, 105, 195);
    previewLetter_->adjustSize();

    colorGroup_ = new QGroupBox(QStringLiteral("Farbwahl"), this);
    colorGroup_->setFont(dialogFont);
    placeTwips(colorGroup_, 2520, 480, 915, 1815);

    colorGrid_ = new PaletteBox(colorGroup_);
    colorGrid_->setToolTip(
        QStringLiteral("Farbauswahl. Für noch mehr Farben clicke auf das grosse Farbfeld oben."));
    placeTwips(colorGrid_, 120, 480, 660, 1275);

    colorSwatch_ = new ClickLabel(colorGroup_);
    colorSwatch_->setFrameShape(QFrame::Box);
    colorSwatch_->setToolTip(QStringLiteral("Click -> Erweiterte FarbPalette"));
    placeTwips(colorSwatch_, 120, 240, 675, 195);

    setDialogColor(kDesignColor);

    QWidget::setTabOrder(textEdit_, fontBox_);
    QWidget::setTabOrder(fontBox_, okButton_);
    QWidget::setTabOrder(okButton_, cancelButton_);
    QWidget::setTabOrder(cancelButton_, boldBox_);
    QWidget::setTabOrder(boldBox_, underlineBox_);
    QWidget::setTabOrder(underlineBox_, italicBox_);
    QWidget::setTabOrder(italicBox_, strikeOutBox_);
    QWidget::setTabOrder(strikeOutBox_, sizeBox_);

    connect(textEdit_, &QLineEdit::textChanged, this, &TextDialog::updatePreviewLetter);
    connect(fontBox_, &QComboBox::activated, this, &TextDialog::applyFontFamily);
    connect(sizeBox_, &QComboBox::editTextChanged, this, &TextDialog::updatePreviewSize);
    connect(sizeBox_, &QComboBox::activated, this, &TextDialog::updatePreviewSize);
    for (FontStyle style :
         {FontStyle::Bold, FontStyle::Underline, FontStyle::Italic, FontStyle::StrikeOut})
        connect(styleBox(style), &QCheckBox::clicked, this, [this, style] { toggleStyle(style); });
    connect(colorGrid_, &PaletteBox::pressedAt, this, &TextDialog::pickGridColor);
    connect(colorSwatch_, &ClickLabel::clicked, this, &TextDialog::chooseColorFromDialog);
    connect(okButton_, &QPushButton::clicked, this, &TextDialog::printAndClose);
    connect(cancelButton_, &QPushButton::clicked, this, &TextDialog::cancel);
}

void TextDialog::loadSettings() {
    colorGrid_->paintCells(660, 1275, textDialogPaletteCells());

    CanvasTarget& canvas = host_.canvasTarget();
    QFont canvasFont = canvas.font();
    canvasFont.setBold(true);
    canvasFont.setItalic(false);
    canvasFont.setStrikeOut(false);
    canvasFont.setUnderline(false);
    canvas.setFont(canvasFont);

    {
        const QSignalBlocker block1(fontBox_);
        fontBox_->addItems(QFontDatabase::families());
        fontBox_->setEditText(QStringLiteral("Arial"));
    }
    {
        const QSignalBlocker block2(sizeBox_);
        sizeBox_->addItems(textSizeChoices());
        sizeBox_->setEditText(QStringLiteral("10"));
    }

    const TextSettings& last = rememberedTextSettings();
    if (!last.lastText.isEmpty()) {
        textEdit_->setText(last.lastText);
        // The list index was only remembered when the text named a list entry; a
        // name the list lacks (such as the preset) stays as preset.
        const auto fontIndex = numberFromText(last.lastTextFont);
        if (fontIndex && *fontIndex >= 0 && *fontIndex < fontBox_->count()) {
            fontBox_->setCurrentIndex(int(*fontIndex));
            applyFontFamily();
        }
        setStyleChecked(FontStyle::Bold, last.lastTextBold == QLatin1String("1"));
        setStyleChecked(FontStyle::Underline, last.lastTextUnderline == QLatin1String("1"));
        setStyleChecked(FontStyle::Italic, last.lastTextItalic == QLatin1String("1"));
        sizeBox_->setEditText(last.lastTextSize);
        if (const auto size = fontSizeFromText(last.lastTextSize)) {
            QFont f = previewLetter_->font();
            f.setPointSizeF(*size);
            previewLetter_->setFont(f);
            previewLetter_->adjustSize();
        }
        if (const auto color = numberFromText(last.lastTextColor);
            color && *color >= 0 && *color <= 0x00FFFFFF)
            setDialogColor(quint32(*color));
    }

    textEdit_->setSelection(0, int(textEdit_->text().size()));
}

void TextDialog::setDialogColor(quint32 bgr) {
    color_ = bgr & 0x00FFFFFF;
    setTextColor(textEdit_, QPalette::Text, color_);
    setTextColor(previewLetter_, QPalette::WindowText, color_);
    colorSwatch_->setColor(color_);
}

void TextDialog::updatePreviewLetter() {
    previewLetter_->setText(textEdit_->text().left(1));
    previewLetter_->adjustSize();
}

void TextDialog::applyFontFamily() {
    const QString name = fontBox_->currentText();
    QFont f = textEdit_->font();
    f.setFamily(name);
    textEdit_->setFont(f);
    QFont g = previewLetter_->font();
    g.setFamily(name);
    previewLetter_->setFont(g);
    previewLetter_->adjustSize();
}

void TextDialog::updatePreviewSize() {
    const auto size = fontSizeFromText(sizeBox_->currentText());
    if (!size) return;
    QFont f = previewLetter_->font();
    f.setPointSizeF(*size);
    previewLetter_->setFont(f);
    previewLetter_->adjustSize();
}

QCheckBox* TextDialog::styleBox(FontStyle style) const {
    switch (style) {
    case FontStyle::Bold:
        return boldBox_;
    case FontStyle::Underline:
        return underlineBox_;
    case FontStyle::Italic:
        return italicBox_;
    case FontStyle::StrikeOut:
        break;
    }
    return strikeOutBox_;
}

void TextDialog::toggleStyle(FontStyle style) {
    const bool on = !fontHasStyle(textEdit_->font(), style);
    styleBox(style)->setChecked(on);

    CanvasTarget& canvas = host_.canvasTarget();
    QFont canvasFont = canvas.font();
    setFontStyle(canvasFont, style, on);
    canvas.setFont(canvasFont);

    QFont f = textEdit_->font();
    setFontStyle(f, style, on);
    textEdit_->setFont(f);

    if (style != FontStyle::StrikeOut) {
        QFont g = previewLetter_->font();
        setFontStyle(g, style, on);
        previewLetter_->setFont(g);
        previewLetter_->adjustSize();
    }
}

void TextDialog::setStyleChecked(FontStyle style, bool value) {
    QCheckBox* box = styleBox(style);
    if (box->isChecked() == value) return;
    box->setChecked(value);
    toggleStyle(style);
}

void TextDialog::pickGridColor(QPoint pos) {
    setDialogColor(colorGrid_->colorAt(pos));
}

void TextDialog::chooseColorFromDialog() {
    const quint32 kept = colorSwatch_->color();
    const qint64 result = pickColor(kept);
    setDialogColor(result >= 0 ? quint32(result) : kept);
}

void TextDialog::printAndClose() {
    CanvasTarget& canvas = host_.canvasTarget();

    const auto x = numberFromText(host_.textPosX());
    const auto y = numberFromText(host_.textPosY());
    if (x && y) canvas.movePenTo(*x, *y - kTextAboveTwips);

    const quint32 keptColor = canvas.penColor();
    const QFont before = canvas.font();

    // A size that is no font size keeps the canvas size: the text comes out in it.
    QFont printFont = before;
    if (const auto size = fontSizeFromText(sizeBox_->currentText())) printFont.setPointSizeF(*size);
    printFont.setFamily(fontBox_->currentText());
    canvas.setFont(printFont);
    canvas.setPenColor(color_);

    canvas.printText(textEdit_->text());

    canvas.setPenColor(keptColor);
    QFont after = canvas.font();
    if (before.pointSizeF() > 0)
        after.setPointSizeF(std::max(1, roundHalfEven(before.pointSizeF())));
    else if (before.pixelSize() > 0)
        after.setPixelSize(before.pixelSize());
    canvas.setFont(after);

    host_.focusMainWindow();

    TextSettings& last = rememberedTextSettings();
    last.lastText = textEdit_->text();
    last.lastTextSize = sizeBox_->currentText();
    last.lastTextColor = QString::number(color_);
    last.lastTextFont = QString::number(fontListIndex());
    last.lastTextBold = checkValue(boldBox_);
    last.lastTextUnderline = checkValue(underlineBox_);
    last.lastTextItalic = checkValue(italicBox_);

    host_.setMarkingsDrawn();
    host_.setSkipCentering();

    unload();
}

void TextDialog::cancel() {
    unload();
}

int TextDialog::fontListIndex() const {
    return fontBox_->findText(fontBox_->currentText(),
                              Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

void TextDialog::unload() {
    if (g_instance == this) g_instance = nullptr;
    hide();
    deleteLater();
}

// Closing the window unloads it as Cancel does.
void TextDialog::closeEvent(QCloseEvent* e) {
    if (g_instance == this) g_instance = nullptr;
    QWidget::closeEvent(e);
    deleteLater();
}

void showTextDialog(TextDialogHost& host, QWidget* owner, quint32 currentColor) {
    TextDialog* form = TextDialog::instance(host, owner);
    if (rememberedTextSettings().lastTextColor.isEmpty()) form->setDialogColor(currentColor);
    form->show();
    form->raise();
    form->activateWindow();
}

} // namespace kamsulo::annotate
