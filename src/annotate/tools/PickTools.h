#pragma once
// Tools that draw nothing themselves: the pipette and the text tool.
#include "annotate/Tool.h"

namespace kamsulo::annotate {

// Picks the colour under the pointer from the picture with its markings: on a press
// with any button, and while dragging with the left one. Works in pixels.
class PipetteTool : public Tool {
public:
    ToolId id() const override { return ToolId::Pipette; }
    void press(ToolContext& ctx, int button, double x, double y) override;
    void move(ToolContext& ctx, int buttons, double x, double y) override;

private:
    static void pick(ToolContext& ctx, double x, double y);
};

// A press with any button takes a snapshot and opens the text dialog.
class TextTool : public Tool {
public:
    ToolId id() const override { return ToolId::Text; }
    bool takesWholePress() const override { return true; }
    void press(ToolContext& ctx, int button, double x, double y) override;
};

} // namespace kamsulo::annotate
