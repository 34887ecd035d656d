#pragma once
// A main window stand-in for the canvas: records what the canvas asks of it.
#include "annotate/CanvasHost.h"

#include <QPoint>
#include <functional>
#include <ostream>

namespace kamsulo::annotate {
// Tools print as their palette position in test messages.
inline std::ostream& operator<<(std::ostream& os, ToolId tool) {
    return os << "tool " << positionOf(tool);
}
} // namespace kamsulo::annotate

namespace kamsulo::annotate::test {

class FakeCanvasHost : public CanvasHost {
public:
    QString caption() const override { return captionText; }
    void setCaption(const QString& text) override {
        captionText = text;
        ++captionSets;
    }
    void clearButtonHighlight() override { ++highlightClears; }
    void updateCanvasToolTip() override { ++toolTips; }
    ToolId selectedTool() const override { return tool; }
    void deselectAllTools() override { tool = ToolId::None; }
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
    int captionSets = 0, highlightClears = 0, toolTips = 0;
    ToolId tool = ToolId::Line;
    quint32 colour = 0x000000FF;
    QSize viewport{800, 600};
    QPoint canvasPos;
    int horizontalPans = 0, verticalPans = 0;
    std::function<void()> onPan;
    int textDialogs = 0;
    bool drawn = false;
};

} // namespace kamsulo::annotate::test
