#pragma once
// A main window stand-in for the canvas: records what the canvas asks of it.
#include "annotate/CanvasHost.h"

#include <QPoint>
#include <functional>

namespace kamsulo::annotate::test {

class FakeCanvasHost : public CanvasHost {
public:
    QString caption() const override { return captionText; }
    void setCaption(const QString& text) override {
        captionText = text;
        ++captionSets;
    }
    void roll_out() override { ++rollOuts; }
    void tool_tipp() override { ++toolTips; }
    int selectedTool() const override { return tool; }
    void deselectAllTools() override { tool = -1; }
    quint32 currentColor() const override { return colour; }
    void setCurrentColor(quint32 bgr) override { colour = bgr; }
    QSize viewportSize() const override { return viewport; }
    void panCanvas(Qt::Orientation direction, int offset) override {
        if (direction == Qt::Horizontal) {
            canvasPos.setX(offset);
            ++horizontalPans;
        } else {
            canvasPos.setY(offset);
            ++verticalPans;
        }
        if (onPan) onPan();
    }
    void showTextDialog() override { ++textDialogs; }
    bool markingsDrawn() const override { return drawn; }
    void setMarkingsDrawn() override { drawn = true; }

    QString captionText = QStringLiteral("Kamsulo ");
    int captionSets = 0, rollOuts = 0, toolTips = 0;
    int tool = 4;
    quint32 colour = 0x000000FF;
    QSize viewport{800, 600};
    QPoint canvasPos;
    int horizontalPans = 0, verticalPans = 0;
    std::function<void()> onPan;
    int textDialogs = 0;
    bool drawn = false;
};

} // namespace kamsulo::annotate::test
