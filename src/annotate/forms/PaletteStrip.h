#pragma once
// The strip at the bottom of the main window: the drawing tools, the undo button, the
// colour grid with the current-colour swatch and the line widths. It acts on the
// canvas through CanvasTarget.
#include "annotate/ToolId.h"

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
    static constexpr int kWidthCount = 6;

    explicit PaletteStrip(QWidget* parent = nullptr);

    void setCanvas(CanvasTarget* canvas) { canvas_ = canvas; }

    // The selected tool, or ToolId::None.
    ToolId selectedTool() const;
    // The Shift key: no tool selected.
    void deselectAll();
    // Selecting a tool applies it as a click would; deselecting only clears it.
    void setToolSelected(ToolId tool, bool selected);

    // The current colour: the swatch's, 0x00BBGGRR. The pipette writes it.
    quint32 currentColor() const;
    void setCurrentColor(quint32 bgr);
    // The framed width picture: 1 to 6 pixels.
    int lineWidth() const { return widthIndex_ + 1; }

    // The controls.
    QAbstractButton* toolButton(ToolId tool) const;
    QAbstractButton* undoButton() const;
    PaletteBox* colorGrid() const { return colorGrid_; }
    ClickLabel* colorSwatch() const { return colorSwatch_; }
    // The width picture for 1 + index pixels.
    ClickLabel* widthButton(int index) const { return widthButtons_.at(size_t(index)); }

    // What the controls do.
    // Applies the selected tool to the canvas: its unit and pointer; the highlighter
    // also forces yellow and 4 pixels.
    void applySelectedTool();
    // Frames the width picture for 1 + index pixels and gives the pen that width.
    void chooseWidth(int index);
    // The colour of the grid at a point becomes the current colour and the pen's.
    void pickGridColor(QPoint pos);
    // The colour dialog, preselecting the current colour.
    void chooseColorFromDialog();

signals:
    // The undo button: undo the last drawing.
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
    std::array<QAbstractButton*, kToolCount> toolButtons_{};
    QButtonGroup* toolGroup_ = nullptr;
    QToolButton* undoButton_ = nullptr;
    PaletteBox* colorGrid_ = nullptr;
    ClickLabel* colorSwatch_ = nullptr;
    std::array<ClickLabel*, kWidthCount> widthButtons_{};
    QFrame* widthFrame_ = nullptr;
    int widthIndex_ = 1;
};

} // namespace kamsulo::annotate
