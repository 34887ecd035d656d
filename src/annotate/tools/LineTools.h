#pragma once
// Tools anchored at the press point that draw at the release: line, filled arrow,
// open arrow, oval. A click without a drag draws nothing.
#include "annotate/Rounding.h"
#include "annotate/Tool.h"

namespace kamsulo::annotate {

class LineGestureTool : public Tool {
public:
    void press(ToolContext& ctx, int button, double x, double y) override;
    void move(ToolContext& ctx, int buttons, double x, double y) override;
    void release(ToolContext& ctx, int button, double x, double y) override;
    Overlay* preview(Previews& p) const override { return &p.line; }

protected:
    // The preview for the pointer at (x, y); the start point is set.
    virtual void showPreview(ToolContext& ctx, double x, double y);
    // Snapshot, hide the preview, draw.
    virtual void commit(ToolContext& ctx) = 0;

private:
    bool dragged_ = false;
};

class LineTool : public LineGestureTool {
public:
    ToolId id() const override { return ToolId::Line; }

protected:
    void commit(ToolContext& ctx) override;
};

// The tip is the press point.
class FilledArrowTool : public LineGestureTool {
public:
    static constexpr int kHeadRadius = 200;
    ToolId id() const override { return ToolId::FilledArrow; }

protected:
    void commit(ToolContext& ctx) override;
};

// The tip is the press point.
class ArrowTool : public LineGestureTool {
public:
    static constexpr float kHeadSize = 130;
    static constexpr int kTailMarks = 1;
    static constexpr float kSpacing = 100;
    ToolId id() const override { return ToolId::Arrow; }

protected:
    void commit(ToolContext& ctx) override;
};

// The ellipse's box is anchored at the press point and grows right and down only.
class OvalTool : public LineGestureTool {
public:
    ToolId id() const override { return ToolId::Oval; }
    Overlay* preview(Previews& p) const override { return &p.ellipse; }

protected:
    void showPreview(ToolContext& ctx, double x, double y) override;
    void commit(ToolContext& ctx) override;
};

} // namespace kamsulo::annotate
