#include "annotate/forms/ToolTable.h"

namespace kamsulo::annotate {

const std::array<ToolInfo, kToolCount>& toolTable() {
    static const std::array<ToolInfo, kToolCount> table{{
        {120, "Freihandlinie", IconFreehand, ScaleTwips},
        {1688, "Rechteck", IconHand, ScaleTwips},
        {4432, "Text einfügen. Auf die gewünschte Position im ScreenShot clicken.", IconText,
         ScaleTwips},
        {3256, "Oval", IconHand, ScaleTwips},
        {512, "Linie", IconHand, ScaleTwips},
        {2864,
         "Transparentes Rechteck. (Mit rechter Maustaste -> gefülltes, undurchsichtiges "
         "Rechteck)",
         IconHand, ScaleTwips},
        {3648, "\"TextMarker\" :-)", IconMarker, ScaleTwips},
        {4040, "Radiergummi", IconEraser, ScaleTwips},
        {5220,
         "Ein Click mit der Pipette auf den Screenshot nimmt die Farbe unter der Pipette auf.",
         IconPipette, ScalePixels},
        {904, "Pfeile, gefüllte Pfeilspitze", IconHand, ScaleTwips},
        {1296, "Pfeile", IconHand, ScaleTwips},
        {2472, "Rechteck mit abgerundeten Ecken", IconHand, ScalePixels},
        {2080, "Rechteck, gepunktet. Nur mit dünnen 1px Rand möglich.", IconHand, ScaleTwips},
    }};
    return table;
}

ToolChoice toolChoiceFor(int selectedTool) {
    ToolChoice choice;
    if (selectedTool < 0 || selectedTool >= kToolCount) return choice;
    const ToolInfo& info = toolTable()[size_t(selectedTool)];
    choice.scaleMode = info.scaleMode;
    choice.mouseIcon = info.mouseIcon;
    choice.marker = selectedTool == toolMarker;
    return choice;
}

} // namespace kamsulo::annotate
