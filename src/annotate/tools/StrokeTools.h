#pragma once
// Tools that draw into the picture while the pointer moves: freehand, highlighter,
// eraser. One snapshot per stroke, at its press.
#include "annotate/Tool.h"

namespace kamsulo::annotate {

class StrokeTool : public Tool {
public:
    void press(ToolContext& ctx, int button, double x, double y) override;
    void move(ToolContext& ctx, int buttons, double x, double y) override;

protected:
    // The tool's pen for one drawing step; the previous mode and width come back after.
    virtual void applyPen(CanvasSurface&) const {}
};

class FreehandTool : public StrokeTool {
public:
    ToolId id() const override { return ToolId::Freehand; }
};

// Highlighter: three times the width, mask pen (destination AND colour).
class MarkerTool : public StrokeTool {
public:
    static constexpr int kWidthFactor = 3;
    ToolId id() const override { return ToolId::Marker; }

protected:
    void applyPen(CanvasSurface& s) const override;
};

// Eraser: 12 pixels of white.
class EraserTool : public StrokeTool {
public:
    static constexpr int kWidth = 12;
    ToolId id() const override { return ToolId::Eraser; }

protected:
    void applyPen(CanvasSurface& s) const override;
};

} // namespace kamsulo::annotate
