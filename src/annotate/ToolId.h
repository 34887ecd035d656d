#pragma once
// The thirteen drawing tools, in the order of the palette strip's buttons.

namespace kamsulo::annotate {

enum class ToolId {
    None = -1, // no tool selected
    Freehand = 0,
    Rectangle,
    Text,
    Oval,
    Line,
    TransparentRect,
    Marker,
    Eraser,
    Pipette,
    FilledArrow,
    Arrow,
    RoundRect,
    DottedRect,
};

inline constexpr int kToolCount = 13;

// The tool at a button position, or ToolId::None outside 0 .. kToolCount - 1.
constexpr ToolId toolAt(int position) {
    return position >= 0 && position < kToolCount ? ToolId(position) : ToolId::None;
}
// The button position of a tool, -1 for ToolId::None.
constexpr int positionOf(ToolId tool) {
    return int(tool);
}

} // namespace kamsulo::annotate
