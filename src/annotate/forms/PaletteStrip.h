#pragma once
// The strip at the bottom of the main window (Picture2): the drawing tools, the undo
// button, the colour grid with the current-colour swatch and the line widths. It
// acts on the canvas through CanvasTarget.
#include <QWidget>
#include <array>

class QAbstractButton;
class QButtonGroup;
class QFrame;
class QToolButton;

namespace kamsulo::annotate {

class CanvasTarget;
class ClickLabel;
class PaletteBox;

class PaletteStrip : public QWidget {
    Q_OBJECT
public:
    explicit PaletteStrip(QWidget* parent = nullptr);

    void setCanvas(CanvasTarget* canvas) { canvas_ = canvas; }

    // The selected tool (Option1 index) or -1 when none is selected.
    int selectedTool() const;
    // The Shift key: no tool selected.
    void deselectAll();
    // Selecting a tool applies it as a click would; deselecting only clears it.
    void setToolSelected(int index, bool selected);

    // The current colour: the swatch lblColor, 0x00BBGGRR. The pipette writes it.
    quint32 currentColor() const;
    void setCurrentColor(quint32 bgr);
    // The framed width picture: 1 to 6 pixels.
    int lineWidth() const { return widthIndex_ + 1; }

    // The controls, by their names.
    QAbstractButton* Option1(int index) const { return option1_.at(size_t(index)); }
    QAbstractButton* Command7() const;
    PaletteBox* picColor() const { return picColor_; }
    ClickLabel* lblColor() const { return lblColor_; }
    ClickLabel* Image1(int index) const { return image1_.at(size_t(index)); }

    // Handlers.
    void Option1_Click(int index);
    void Image1_Click(int index);
    void picColor_MouseDown(Qt::MouseButton button, QPoint pos);
    void lblColor_Click();
    void Command7_Click();
    void Picture2_MouseMove();

signals:
    // Command7: undo the last drawing.
    void undoRequested();
    // The pointer moves over the strip; the main window resets its caption.
    void mouseMovedOverStrip();

protected:
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void buildTools();
    void buildColors();
    void buildWidths();

    CanvasTarget* canvas_ = nullptr;
    std::array<QAbstractButton*, 13> option1_{};
    QButtonGroup* toolGroup_ = nullptr;
    QToolButton* command7_ = nullptr;
    PaletteBox* picColor_ = nullptr;
    ClickLabel* lblColor_ = nullptr;
    std::array<ClickLabel*, 6> image1_{};
    QFrame* shape1_ = nullptr;
    int widthIndex_ = 1;
    quint32 savedColor_ = 0;
};

} // namespace kamsulo::annotate
