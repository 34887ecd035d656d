#pragma once
// The thirteen drawing tools of the palette strip: where each button sits, its
// tooltip, the canvas pointer and unit it brings.
#include "annotate/CanvasTarget.h"
#include "annotate/ToolId.h"

#include <array>

namespace kamsulo::annotate {

struct ToolInfo {
    int left; // twips inside the strip
    const char* toolTip;
    CursorIcon cursorIcon;
    ScaleMode scaleMode;
};

const std::array<ToolInfo, kToolCount>& toolTable();

// The table entry of a tool (not of ToolId::None).
const ToolInfo& toolInfo(ToolId tool);

// What choosing a tool does to the canvas, from the tool now selected (or none).
struct ToolChoice {
    ScaleMode scaleMode = ScaleMode::Twips;
    CursorIcon cursorIcon = CursorIcon::Hand;
    bool marker = false; // the highlighter: yellow and line width 4
};
ToolChoice toolChoiceFor(ToolId selectedTool);

constexpr quint32 kMarkerColor = 0x0000FFFF; // yellow
constexpr int kMarkerWidthIndex = 3;         // the fourth width button: 4 pixels

} // namespace kamsulo::annotate
