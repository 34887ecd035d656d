#include "annotate/forms/Form2.h"

#include "annotate/CanvasTarget.h"
#include "annotate/TextDialogHost.h"
#include "annotate/forms/BgrColor.h"
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

Form2* g_form2 = nullptr;

constexpr quint32 kDesignColor = 0x000000FF; // red
constexpr double kTextAboveTwips = 100;      // the text's top edge above the press point

// Where Tahoma is missing, a face of similar width keeps the captions inside their
// design sizes.
QFont tahoma() {
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Tahoma"))
                                      ? QStringLiteral("Tahoma")
                                      : QStringLiteral("Liberation Sans");
    QFont f(family);
    f.setPointSizeF(8.25);
    return f;
}

bool fontStyle(const QFont& f, int style) {
    switch (style) {
    case 0:
        return f.bold();
    case 1:
        return f.underline();
    case 2:
        return f.italic();
    default:
        return f.strikeOut();
    }
}

void setFontStyle(QFont& f, int style, bool on) {
    switch (style) {
    case 0:
        f.setBold(on);
        break;
    case 1:
        f.setUnderline(on);
        break;
    case 2:
        f.setItalic(on);
        break;
    default:
        f.setStrikeOut(on);
        break;
    }
}

void setTextColor(QWidget* w, QPalette::ColorRole role, quint32 bgr) {
    QPalette pal = w->palette();
    pal.setColor(role, bgrToQColor(bgr));
    w->setPalette(pal);
}

QString checkValue(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Form2* Form2::instance(TextDialogHost& host, QWidget* owner) {
    if (!g_form2) g_form2 = new Form2(host, owner);
    return g_form2;
}

Form2* Form2::loaded() {
    return g_form2;
}

void Form2::unloadInstance() {
    if (g_form2) g_form2->unload();
}

Form2::Form2(TextDialogHost& host, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), host_(host) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Text hinzufügen"));
    platform::resizeClientTwips(this, 4875, 2340);
    setFixedSize(size());
    buildControls();
    Form_Load();
}

Form2::~Form2() {
    if (g_form2 == this) g_form2 = nullptr;
}

void Form2::buildControls() {
    const QFont dialogFont = tahoma();

    text1_ = new QLineEdit(QStringLiteral("Text"), this);
    QFont textFont(QStringLiteral("Arial"));
    textFont.setPointSizeF(8.25);
    textFont.setBold(true);
    text1_->setFont(textFont);
    placeTwips(text1_, 60, 120, 3255, 315);

    combo1_ = new QComboBox(this);
    combo1_->setEditable(true);
    combo1_->setInsertPolicy(QComboBox::NoInsert);
    combo1_->setFont(dialogFont);
    placeTwips(combo1_, 60, 780, 2415, 315);

    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setFont(dialogFont);
    command1_->setAutoDefault(false);
    placeTwips(command1_, 3480, 120, 495, 315);

    command2_ = new QPushButton(QStringLiteral("Cancel"), this);
    command2_->setFont(dialogFont);
    command2_->setAutoDefault(false);
    placeTwips(command2_, 4080, 120, 735, 315);

    label1_ = new QLabel(QStringLiteral("Font:"), this);
    label1_->setFont(dialogFont);
    placeTwips(label1_, 120, 540, 390, 195);
    label1_->adjustSize();

    label2_ = new QLabel(QStringLiteral("Size:"), this);
    label2_->setFont(dialogFont);
    placeTwips(label2_, 1380, 1200, 345, 195);
    label2_->adjustSize();

    auto makeCheck = [&](const QString& caption, int style, double left, double top, double width) {
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
    check1_ = makeCheck(QStringLiteral("Fett"), 0, 60, 1200, 1215);
    check1_->setChecked(true);
    check2_ = makeCheck(QStringLiteral("Underline"), 1, 60, 1500, 1215);
    check3_ = makeCheck(QStringLiteral("Italics"), 2, 60, 1800, 1215);
    check4_ = makeCheck(QStringLiteral("Strike Out"), 3, 1440, 1800, 735);

    combo2_ = new QComboBox(this);
    combo2_->setEditable(true);
    combo2_->setInsertPolicy(QComboBox::NoInsert);
    combo2_->setFont(dialogFont);
    combo2_->setEditText(QStringLiteral("10"));
    placeTwips(combo2_, 1800, 1200, 675, 315);

    label3_ = new QLabel(QStringLiteral("T"), this);
    label3_->setFont(textFont);
    placeTwips(label3_, 3960, 600, 105, 195);
    label3_->adjustSize();

    frame1_ = new QGroupBox(QStringLiteral("Farbwahl"), this);
    frame1_->setFont(dialogFont);
    placeTwips(frame1_, 2520, 480, 915, 1815);

    picture2_ = new PaletteBox(frame1_);
    picture2_->setToolTip(
        QStringLiteral("Farbauswahl. Für noch mehr Farben clicke auf das grosse Farbfeld oben."));
    placeTwips(picture2_, 120, 480, 660, 1275);

    label4_ = new ClickLabel(frame1_);
    label4_->setFrameShape(QFrame::Box);
    label4_->setToolTip(QStringLiteral("Click -> Erweiterte FarbPalette"));
    placeTwips(label4_, 120, 240, 675, 195);

    setDialogColor(kDesignColor);

    QWidget::setTabOrder(text1_, combo1_);
    QWidget::setTabOrder(combo1_, command1_);
    QWidget::setTabOrder(command1_, command2_);
    QWidget::setTabOrder(command2_, check1_);
    QWidget::setTabOrder(check1_, check2_);
    QWidget::setTabOrder(check2_, check3_);
    QWidget::setTabOrder(check3_, check4_);
    QWidget::setTabOrder(check4_, combo2_);

    connect(text1_, &QLineEdit::textChanged, this, &Form2::Text1_Change);
    connect(combo1_, &QComboBox::activated, this, &Form2::Combo1_Click);
    connect(combo2_, &QComboBox::editTextChanged, this, &Form2::Combo2_Change);
    connect(combo2_, &QComboBox::activated, this, &Form2::Combo2_Click);
    connect(check1_, &QCheckBox::clicked, this, &Form2::Check1_Click);
    connect(check2_, &QCheckBox::clicked, this, &Form2::Check2_Click);
    connect(check3_, &QCheckBox::clicked, this, &Form2::Check3_Click);
    connect(check4_, &QCheckBox::clicked, this, &Form2::Check4_Click);
    connect(picture2_, &PaletteBox::mouseDown, this, &Form2::Picture2_MouseDown);
    connect(label4_, &ClickLabel::clicked, this, &Form2::Label4_Click);
    connect(command1_, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &Form2::Command2_Click);
}

void Form2::Form_Load() {
    picture2_->paintCells(660, 1275, textDialogPaletteCells());

    CanvasTarget& canvas = host_.canvasTarget();
    QFont canvasFont = canvas.font();
    canvasFont.setBold(true);
    canvasFont.setItalic(false);
    canvasFont.setStrikeOut(false);
    canvasFont.setUnderline(false);
    canvas.setFont(canvasFont);

    {
        const QSignalBlocker block1(combo1_);
        combo1_->addItems(QFontDatabase::families());
        combo1_->setEditText(QStringLiteral("Arial"));
    }
    {
        const QSignalBlocker block2(combo2_);
        combo2_->addItems(textSizeChoices());
        combo2_->setEditText(QStringLiteral("10"));
    }

    const TextSettings& last = rememberedTextSettings();
    if (!last.lastText.isEmpty()) {
        text1_->setText(last.lastText);
        // The list index was only remembered when the text named a list entry; a
        // name the list lacks (such as the preset) stays as preset.
        const auto fontIndex = numberFromText(last.lastTextFont);
        if (fontIndex && *fontIndex >= 0 && *fontIndex < combo1_->count()) {
            combo1_->setCurrentIndex(int(*fontIndex));
            Combo1_Click();
        }
        setCheckValue(check1_, last.lastTextBold == QLatin1String("1"), Style::Bold);
        setCheckValue(check2_, last.lastTextUnderline == QLatin1String("1"), Style::Underline);
        setCheckValue(check3_, last.lastTextItalic == QLatin1String("1"), Style::Italic);
        combo2_->setEditText(last.lastTextSize);
        if (const auto size = fontSizeFromText(last.lastTextSize)) {
            QFont f = label3_->font();
            f.setPointSizeF(*size);
            label3_->setFont(f);
            label3_->adjustSize();
        }
        if (const auto color = numberFromText(last.lastTextColor);
            color && *color >= 0 && *color <= 0x00FFFFFF)
            setDialogColor(quint32(*color));
    }

    text1_->setSelection(0, int(text1_->text().size()));
}

void Form2::setDialogColor(quint32 bgr) {
    color_ = bgr & 0x00FFFFFF;
    setTextColor(text1_, QPalette::Text, color_);
    setTextColor(label3_, QPalette::WindowText, color_);
    label4_->setBackColor(color_);
}

void Form2::Text1_Change() {
    label3_->setText(text1_->text().left(1));
    label3_->adjustSize();
}

void Form2::Combo1_Click() {
    const QString name = combo1_->currentText();
    QFont f = text1_->font();
    f.setFamily(name);
    text1_->setFont(f);
    QFont g = label3_->font();
    g.setFamily(name);
    label3_->setFont(g);
    label3_->adjustSize();
}

void Form2::Combo2_Change() {
    const auto size = fontSizeFromText(combo2_->currentText());
    if (!size) return;
    QFont f = label3_->font();
    f.setPointSizeF(*size);
    label3_->setFont(f);
    label3_->adjustSize();
}

void Form2::styleClick(QCheckBox* box, Style style) {
    const int s = int(style);
    const bool on = !fontStyle(text1_->font(), s);
    box->setChecked(on);

    CanvasTarget& canvas = host_.canvasTarget();
    QFont canvasFont = canvas.font();
    setFontStyle(canvasFont, s, on);
    canvas.setFont(canvasFont);

    QFont f = text1_->font();
    setFontStyle(f, s, on);
    text1_->setFont(f);

    if (style != Style::StrikeOut) {
        QFont g = label3_->font();
        setFontStyle(g, s, on);
        label3_->setFont(g);
        label3_->adjustSize();
    }
}

void Form2::setCheckValue(QCheckBox* box, bool value, Style style) {
    if (box->isChecked() == value) return;
    box->setChecked(value);
    styleClick(box, style);
}

void Form2::Check1_Click() {
    styleClick(check1_, Style::Bold);
}
void Form2::Check2_Click() {
    styleClick(check2_, Style::Underline);
}
void Form2::Check3_Click() {
    styleClick(check3_, Style::Italic);
}
void Form2::Check4_Click() {
    styleClick(check4_, Style::StrikeOut);
}

void Form2::Picture2_MouseDown(Qt::MouseButton /*button*/, QPoint pos) {
    setDialogColor(picture2_->pointColor(pos));
}

void Form2::Label4_Click() {
    keptColor_ = label4_->backColor();
    const qint64 result = PickColor(label4_->backColor(), CC_RGBINIT | CC_FULLOPEN);
    setDialogColor(result >= 0 ? quint32(result) : keptColor_);
}

void Form2::Command1_Click() {
    CanvasTarget& canvas = host_.canvasTarget();

    const auto x = numberFromText(host_.textPosX());
    const auto y = numberFromText(host_.textPosY());
    if (x && y) canvas.setCurrentXY(*x, *y - kTextAboveTwips);

    const quint32 keptColor = canvas.foreColor();
    const QFont before = canvas.font();

    // A size that is no font size keeps the canvas size: the text comes out in it.
    QFont printFont = before;
    if (const auto size = fontSizeFromText(combo2_->currentText())) printFont.setPointSizeF(*size);
    printFont.setFamily(combo1_->currentText());
    canvas.setFont(printFont);
    canvas.setForeColor(color_);

    canvas.printText(text1_->text());

    canvas.setForeColor(keptColor);
    QFont after = canvas.font();
    if (before.pointSizeF() > 0)
        after.setPointSizeF(std::max(1, roundHalfEven(before.pointSizeF())));
    else if (before.pixelSize() > 0)
        after.setPixelSize(before.pixelSize());
    canvas.setFont(after);

    host_.focusMainWindow();

    TextSettings& last = rememberedTextSettings();
    last.lastText = text1_->text();
    last.lastTextSize = combo2_->currentText();
    last.lastTextColor = QString::number(color_);
    last.lastTextFont = QString::number(combo1ListIndex());
    last.lastTextBold = checkValue(check1_);
    last.lastTextUnderline = checkValue(check2_);
    last.lastTextItalic = checkValue(check3_);

    host_.setMarkingsDrawn();
    host_.setSkipCentering();

    unload();
}

void Form2::Command2_Click() {
    unload();
}

int Form2::combo1ListIndex() const {
    return combo1_->findText(combo1_->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

void Form2::unload() {
    if (g_form2 == this) g_form2 = nullptr;
    hide();
    deleteLater();
}

// Closing the window unloads it as Cancel does.
void Form2::closeEvent(QCloseEvent* e) {
    if (g_form2 == this) g_form2 = nullptr;
    QWidget::closeEvent(e);
    deleteLater();
}

void showTextDialog(TextDialogHost& host, QWidget* owner, quint32 currentColor) {
    Form2* form = Form2::instance(host, owner);
    if (rememberedTextSettings().lastTextColor.isEmpty()) form->setDialogColor(currentColor);
    form->show();
    form->raise();
    form->activateWindow();
}

} // namespace kamsulo::annotate
