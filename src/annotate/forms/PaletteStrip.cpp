#include "annotate/forms/PaletteStrip.h"

#include "annotate/CanvasTarget.h"
#include "annotate/forms/ClickLabel.h"
#include "annotate/forms/ColorChooser.h"
#include "annotate/forms/PaletteBox.h"
#include "annotate/forms/ToolIcons.h"
#include "annotate/forms/ToolTable.h"
#include "platform/Twips.h"

#include <QButtonGroup>
#include <QMouseEvent>
#include <QToolButton>

namespace kamsulo::annotate {

using platform::placeTwips;

namespace {
constexpr quint32 kStartColor = 0x000000FF; // red
constexpr int kStartTool = toolLine;
constexpr int kStartWidthIndex = 1; // 2 pixels

constexpr double kWidthColumns[3] = {7380, 7680, 7980};
constexpr double kWidthRows[2] = {120, 300};
} // namespace

PaletteStrip::PaletteStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture2"));
    setToolTip(QStringLiteral("Markierungs (Zeichenwerkzeuge)"));
    setFixedHeight(platform::twipsToPixelsY(540));
    setMouseTracking(true);

    buildTools();
    buildColors();
    buildWidths();
    setEnabled(false); // until the canvas shows a picture
}

void PaletteStrip::buildTools() {
    toolGroup_ = new QButtonGroup(this);
    toolGroup_->setExclusive(true);
    for (int i = 0; i < kToolCount; ++i) {
        const ToolInfo& info = toolTable()[size_t(i)];
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        b->setCheckable(true);
        b->setAutoRaise(false);
        b->setIcon(QIcon(toolPicture(i)));
        b->setIconSize(QSize(20, 20));
        b->setToolTip(QString::fromUtf8(info.toolTip));
        placeTwips(b, info.left, 90, 375, 400);
        toolGroup_->addButton(b, i);
        option1_[size_t(i)] = b;
        connect(b, &QAbstractButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    option1_[kStartTool]->setChecked(true);

    command7_ = new QToolButton(this);
    command7_->setObjectName(QStringLiteral("Command7"));
    command7_->setIcon(QIcon(undoPicture()));
    command7_->setIconSize(QSize(20, 20));
    command7_->setToolTip(QStringLiteral("Macht die letzte Zeichenaktion rückgängig."));
    placeTwips(command7_, 4824, 90, 375, 400);
    connect(command7_, &QAbstractButton::clicked, this, &PaletteStrip::Command7_Click);
}

void PaletteStrip::buildColors() {
    picColor_ = new PaletteBox(this);
    picColor_->setObjectName(QStringLiteral("picColor"));
    picColor_->setToolTip(
        QStringLiteral("Farbauswahl. Für noch mehr Farben clicke auf das grosse Farbfeld rechts."));
    picColor_->setCursor(Qt::PointingHandCursor);
    placeTwips(picColor_, 5640, 120, 1635, 375);
    picColor_->paintCells(1635, 375, stripPaletteCells());
    connect(picColor_, &PaletteBox::mouseDown, this, &PaletteStrip::picColor_MouseDown);

    lblColor_ = new ClickLabel(picColor_);
    lblColor_->setObjectName(QStringLiteral("lblColor"));
    lblColor_->setFrameShape(QFrame::Box);
    lblColor_->setToolTip(QStringLiteral("Click -> Erweiterte FarbPalette"));
    lblColor_->setBackColor(kStartColor);
    placeTwips(lblColor_, 1320, 0, 270, 345);
    connect(lblColor_, &ClickLabel::clicked, this, &PaletteStrip::lblColor_Click);
}

void PaletteStrip::buildWidths() {
    shape1_ = new QFrame(this);
    shape1_->setObjectName(QStringLiteral("Shape1(0)"));
    shape1_->setFrameShape(QFrame::Box);
    placeTwips(shape1_, 7310, 60, 975, 435);
    shape1_->lower();

    for (int i = 0; i < 6; ++i) {
        auto* img = new ClickLabel(this);
        img->setObjectName(QStringLiteral("Image1(%1)").arg(i));
        img->setToolTip(QStringLiteral("Liniendicke %1px").arg(i + 1));
        placeTwips(img, kWidthColumns[i % 3], kWidthRows[i / 3], 225, 150);
        img->setPixmap(widthPicture(i + 1, img->size()));
        img->setFrameShape(i == kStartWidthIndex ? QFrame::Box : QFrame::NoFrame);
        image1_[size_t(i)] = img;
        connect(img, &ClickLabel::clicked, this, [this, i] { Image1_Click(i); });
    }
    widthIndex_ = kStartWidthIndex;
}

QAbstractButton* PaletteStrip::Command7() const {
    return command7_;
}

int PaletteStrip::selectedTool() const {
    for (int i = 0; i < kToolCount; ++i)
        if (option1_[size_t(i)]->isChecked()) return i;
    return kNoTool;
}

void PaletteStrip::deselectAll() {
    toolGroup_->setExclusive(false);
    for (QAbstractButton* b : option1_)
        b->setChecked(false);
    toolGroup_->setExclusive(true);
}

void PaletteStrip::setToolSelected(int index, bool selected) {
    if (index < 0 || index >= kToolCount) return;
    QAbstractButton* b = option1_[size_t(index)];
    if (selected) {
        if (b->isChecked()) return;
        b->setChecked(true);
        Option1_Click(index);
        return;
    }
    toolGroup_->setExclusive(false);
    b->setChecked(false);
    toolGroup_->setExclusive(true);
}

quint32 PaletteStrip::currentColor() const {
    return lblColor_->backColor();
}

void PaletteStrip::setCurrentColor(quint32 bgr) {
    lblColor_->setBackColor(bgr);
}

// The clicked index is not looked at: the state of all buttons decides.
void PaletteStrip::Option1_Click(int /*index*/) {
    const ToolChoice choice = toolChoiceFor(selectedTool());
    if (canvas_) {
        canvas_->setScaleMode(ScaleTwips);
        canvas_->resetLineStart();
        canvas_->focusCanvas();
        canvas_->setMouseIcon(IconHand);
    }
    if (choice.marker) {
        setCurrentColor(kMarkerColor);
        Image1_Click(kMarkerWidthIndex);
    }
    if (canvas_) {
        if (choice.mouseIcon != IconHand) canvas_->setMouseIcon(choice.mouseIcon);
        if (choice.scaleMode != ScaleTwips) canvas_->setScaleMode(choice.scaleMode);
    }
}

void PaletteStrip::Image1_Click(int index) {
    if (index < 0 || index >= int(image1_.size())) return;
    for (int j = 0; j < int(image1_.size()); ++j)
        image1_[size_t(j)]->setFrameShape(j == index ? QFrame::Box : QFrame::NoFrame);
    widthIndex_ = index;
    if (canvas_) {
        canvas_->setDrawWidth(index + 1);
        canvas_->focusCanvas();
    }
}

void PaletteStrip::picColor_MouseDown(Qt::MouseButton /*button*/, QPoint pos) {
    const quint32 color = picColor_->pointColor(pos);
    setCurrentColor(color);
    if (canvas_) {
        canvas_->setForeColor(color);
        canvas_->setDrawColor(color);
        canvas_->focusCanvas();
    }
}

void PaletteStrip::lblColor_Click() {
    savedColor_ = currentColor();
    const qint64 result = PickColor(currentColor(), CC_RGBINIT | CC_FULLOPEN);
    if (result >= 0) {
        const quint32 color = quint32(result);
        if (canvas_) {
            canvas_->setForeColor(color);
            canvas_->setDrawColor(color);
            canvas_->focusCanvas();
        }
        setCurrentColor(color);
    } else {
        setCurrentColor(savedColor_);
    }
}

void PaletteStrip::Command7_Click() {
    emit undoRequested();
}

void PaletteStrip::Picture2_MouseMove() {
    emit mouseMovedOverStrip();
}

void PaletteStrip::mouseMoveEvent(QMouseEvent* e) {
    Picture2_MouseMove();
    QWidget::mouseMoveEvent(e);
}

} // namespace kamsulo::annotate
