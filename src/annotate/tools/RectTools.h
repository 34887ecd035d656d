#pragma once
// Tools that drag out a rectangle with a preview and draw it at the release:
// rectangle, dotted rectangle, rounded rectangle, transparent rectangle.
#include "annotate/Tool.h"

namespace kamsulo::annotate {

class RectGestureTool : public Tool {
public:
    void press(ToolContext& ctx, int button, double x, double y) override;
    void move(ToolContext& ctx, int buttons, double x, double y) override;
    void release(ToolContext& ctx, int button, double x, double y) override;
    Overlay* preview(Previews& p) const override { return &p.box; }

protected:
    // The buttons this tool answers to (mask equality).
    virtual bool acts(int button) const { return button == ButtonLeft; }
    // Snapshot, hide the preview, draw; `button` is the released one.
    virtual void commit(ToolContext& ctx, int button) = 0;
};

class RectangleTool : public RectGestureTool {
public:
    ToolId id() const override { return ToolId::Rectangle; }

protected:
    void commit(ToolContext& ctx, int button) override;
};

// Always one pixel wide and dotted, whatever the palette's width.
class DottedRectTool : public RectGestureTool {
public:
    ToolId id() const override { return ToolId::DottedRect; }

protected:
    void commit(ToolContext& ctx, int button) override;
};

// Works in pixels; corners of a 20 x 20 ellipse; not filled.
class RoundRectTool : public RectGestureTool {
public:
    static constexpr int kCorner = 20;
    ToolId id() const override { return ToolId::RoundRect; }
    Overlay* preview(Previews& p) const override { return &p.roundedBox; }

protected:
    void commit(ToolContext& ctx, int button) override;
};

// Left button: tinted (mask pen); right button: opaque.
class TransparentRectTool : public RectGestureTool {
public:
    ToolId id() const override { return ToolId::TransparentRect; }

protected:
    bool acts(int button) const override { return button == ButtonLeft || button == ButtonRight; }
    void commit(ToolContext& ctx, int button) override;
};

} // namespace kamsulo::annotate
