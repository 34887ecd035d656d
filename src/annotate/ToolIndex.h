#pragma once

namespace kamsulo::annotate {

// Indexes of the tool table (Option1).
enum ToolIndex {
    toolFreehand = 0,
    toolRectangle = 1,
    toolText = 2,
    toolOval = 3,
    toolLine = 4,
    toolTransparentRect = 5,
    toolMarker = 6,
    toolEraser = 7,
    toolPipette = 8,
    toolFilledArrow = 9,
    toolArrow = 10,
    toolRoundRect = 11,
    toolDottedRect = 12,
    toolCount = 13
};

} // namespace kamsulo::annotate
