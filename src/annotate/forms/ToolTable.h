#pragma once
// The thirteen drawing tools of the palette strip: where each button sits, its
// tooltip, the canvas pointer and unit it brings.
#include "annotate/CanvasTarget.h"

#include <QString>
#include <array>

#include "annotate/ToolIndex.h"

namespace kamsulo::annotate {

constexpr int kToolCount = 13;
constexpr int kNoTool = -1;

struct ToolInfo {
    int left; // twips inside the strip
    const char* toolTip;
    int mouseIcon;
    int scaleMode;
};

const std::array<ToolInfo, kToolCount>& toolTable();

// What choosing a tool does to the canvas, from the tool now selected (or kNoTool).
struct ToolChoice {
    int scaleMode = ScaleTwips;
    int mouseIcon = IconHand;
    bool marker = false; // the highlighter: yellow and line width 4
};
ToolChoice toolChoiceFor(int selectedTool);

constexpr quint32 kMarkerColor = 0x0000FFFF; // yellow
constexpr int kMarkerWidthIndex = 3;         // Image1(3): 4 pixels

} // namespace kamsulo::annotate
