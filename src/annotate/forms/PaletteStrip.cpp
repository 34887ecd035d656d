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
constexpr ToolId kStartTool = ToolId::Line;
constexpr int kStartWidthIndex = 1; // 2 pixels
constexpr QSize kIconSize(20, 20);

constexpr double kWidthColumns[3] = {7380, 7680, 7980};
constexpr double kWidthRows[2] = {120, 300};
} // namespace

PaletteStrip::PaletteStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PaletteStrip"));
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
        b->setObjectName(QStringLiteral("toolButton%1").arg(i));
        b->setCheckable(true);
        b->setAutoRaise(false);
        b->setIcon(QIcon(toolPicture(toolAt(i))));
        b->setIconSize(kIconSize);
        b->setToolTip(QString::fromUtf8(info.toolTip));
        placeTwips(b, info.left, 90, 375, 400);
        toolGroup_->addButton(b, i);
        toolButtons_[size_t(i)] = b;
        // The clicked button is not looked at: the state of all buttons decides.
        connect(b, &QAbstractButton::clicked, this, &PaletteStrip::applySelectedTool);
    }
    toolButton(kStartTool)->setChecked(true);

    undoButton_ = new QToolButton(this);
    undoButton_->setObjectName(QStringLiteral("undoButton"));
    undoButton_->setIcon(QIcon(undoPicture()));
    undoButton_->setIconSize(kIconSize);
    undoButton_->setToolTip(QStringLiteral("Macht die letzte Zeichenaktion rückgängig."));
    placeTwips(undoButton_, 4824, 90, 375, 400);
    connect(undoButton_, &QAbstractButton::clicked, this, &PaletteStrip::undoRequested);
}

void PaletteStrip::buildColors() {
    colorGrid_ = new PaletteBox(this);
    colorGrid_->setObjectName(QStringLiteral("colorGrid"));
    colorGrid_->setToolTip(
        QStringLiteral("Farbauswahl. Für noch mehr Farben clicke auf das grosse Farbfeld rechts."));
    colorGrid_->setCursor(Qt::PointingHandCursor);
    placeTwips(colorGrid_, 5640, 120, 1635, 375);
    colorGrid_->paintCells(1635, 375, stripPaletteCells());
    connect(colorGrid_, &PaletteBox::pressedAt, this, &PaletteStrip::pickGridColor);

    colorSwatch_ = new ClickLabel(colorGrid_);
    colorSwatch_->setObjectName(QStringLiteral("colorSwatch"));
    colorSwatch_->setFrameShape(QFrame::Box);
    colorSwatch_->setToolTip(QStringLiteral("Click -> Erweiterte FarbPalette"));
    colorSwatch_->setColor(kStartColor);
    placeTwips(colorSwatch_, 1320, 0, 270, 345);
    connect(colorSwatch_, &ClickLabel::clicked, this, &PaletteStrip::chooseColorFromDialog);
}

void PaletteStrip::buildWidths() {
    widthFrame_ = new QFrame(this);
    widthFrame_->setObjectName(QStringLiteral("widthFrame"));
    widthFrame_->setFrameShape(QFrame::Box);
    placeTwips(widthFrame_, 7310, 60, 975, 435);
    widthFrame_->lower();

    for (int i = 0; i < kWidthCount; ++i) {
        auto* button = new ClickLabel(this);
        button->setObjectName(QStringLiteral("widthButton%1").arg(i));
        button->setToolTip(QStringLiteral("Liniendicke %1px").arg(i + 1));
        placeTwips(button, kWidthColumns[i % 3], kWidthRows[i / 3], 225, 150);
        button->setPixmap(widthPicture(i + 1, button->size()));
        button->setFrameShape(i == kStartWidthIndex ? QFrame::Box : QFrame::NoFrame);
        widthButtons_[size_t(i)] = button;
        connect(button, &ClickLabel::clicked, this, [this, i] { chooseWidth(i); });
    }
    widthIndex_ = kStartWidthIndex;
}

QAbstractButton* PaletteStrip::toolButton(ToolId tool) const {
    return toolButtons_.at(size_t(positionOf(tool)));
}

QAbstractButton* PaletteStrip::undoButton() const {
    return undoButton_;
}

ToolId PaletteStrip::selectedTool() const {
    for (int i = 0; i < kToolCount; ++i)
        if (toolButtons_[size_t(i)]->isChecked()) return toolAt(i);
    return ToolId::None;
}

void PaletteStrip::deselectAll() {
    toolGroup_->setExclusive(false);
    for (QAbstractButton* b : toolButtons_)
        b->setChecked(false);
    toolGroup_->setExclusive(true);
}

void PaletteStrip::setToolSelected(ToolId tool, bool selected) {
    if (tool == ToolId::None) return;
    QAbstractButton* b = toolButton(tool);
    if (selected) {
        if (b->isChecked()) return;
        b->setChecked(true);
        applySelectedTool();
        return;
    }
    toolGroup_->setExclusive(false);
    b->setChecked(false);
    toolGroup_->setExclusive(true);
}

quint32 PaletteStrip::currentColor() const {
    return colorSwatch_->color();
}

void PaletteStrip::setCurrentColor(quint32 bgr) {
    colorSwatch_->setColor(bgr);
}

void PaletteStrip::applySelectedTool() {
    const ToolChoice choice = toolChoiceFor(selectedTool());
    if (canvas_) {
        canvas_->setScaleMode(ScaleMode::Twips);
        canvas_->resetLineStart();
        canvas_->focusCanvas();
        canvas_->setCursorIcon(CursorIcon::Hand);
    }
    if (choice.marker) {
        setCurrentColor(kMarkerColor);
        chooseWidth(kMarkerWidthIndex);
    }
    if (canvas_) {
        if (choice.cursorIcon != CursorIcon::Hand) canvas_->setCursorIcon(choice.cursorIcon);
        if (choice.scaleMode != ScaleMode::Twips) canvas_->setScaleMode(choice.scaleMode);
    }
}

void PaletteStrip::chooseWidth(int index) {
    if (index < 0 || index >= kWidthCount) return;
    for (int j = 0; j < kWidthCount; ++j)
        widthButtons_[size_t(j)]->setFrameShape(j == index ? QFrame::Box : QFrame::NoFrame);
    widthIndex_ = index;
    if (canvas_) {
        canvas_->setPenWidth(index + 1);
        canvas_->focusCanvas();
    }
}

void PaletteStrip::pickGridColor(QPoint pos) {
    const quint32 color = colorGrid_->colorAt(pos);
    setCurrentColor(color);
    if (canvas_) {
        canvas_->setPenColor(color);
        canvas_->setDrawColor(color);
        canvas_->focusCanvas();
    }
}

void PaletteStrip::chooseColorFromDialog() {
    const quint32 saved = currentColor();
    const qint64 result = pickColor(saved);
    if (result >= 0) {
        const quint32 color = quint32(result);
        if (canvas_) {
            canvas_->setPenColor(color);
            canvas_->setDrawColor(color);
            canvas_->focusCanvas();
        }
        setCurrentColor(color);
    } else {
        setCurrentColor(saved);
    }
}

void PaletteStrip::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMovedOverStrip();
    QWidget::mouseMoveEvent(e);
}

} // namespace kamsulo::annotate
