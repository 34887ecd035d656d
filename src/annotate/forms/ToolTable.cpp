#include "annotate/forms/ToolTable.h"

namespace kamsulo::annotate {

const std::array<ToolInfo, kToolCount>& toolTable() {
    static const std::array<ToolInfo, kToolCount> table{{
        {120, "Freihandlinie", CursorIcon::Freehand, ScaleMode::Twips},
        {1688, "Rechteck", CursorIcon::Hand, ScaleMode::Twips},
        {4432, "Text einfügen. Auf die gewünschte Position im ScreenShot clicken.",
         CursorIcon::Text, ScaleMode::Twips},
        {3256, "Oval", CursorIcon::Hand, ScaleMode::Twips},
        {512, "Linie", CursorIcon::Hand, ScaleMode::Twips},
        {2864,
         "Transparentes Rechteck. (Mit rechter Maustaste -> gefülltes, undurchsichtiges "
         "Rechteck)",
         CursorIcon::Hand, ScaleMode::Twips},
        {3648, "\"TextMarker\" :-)", CursorIcon::Marker, ScaleMode::Twips},
        {4040, "Radiergummi", CursorIcon::Eraser, ScaleMode::Twips},
        {5220,
         "Ein Click mit der Pipette auf den Screenshot nimmt die Farbe unter der Pipette auf.",
         CursorIcon::Pipette, ScaleMode::Pixels},
        {904, "Pfeile, gefüllte Pfeilspitze", CursorIcon::Hand, ScaleMode::Twips},
        {1296, "Pfeile", CursorIcon::Hand, ScaleMode::Twips},
        {2472, "Rechteck mit abgerundeten Ecken", CursorIcon::Hand, ScaleMode::Pixels},
        {2080, "Rechteck, gepunktet. Nur mit dünnen 1px Rand möglich.", CursorIcon::Hand,
         ScaleMode::Twips},
    }};
    return table;
}

const ToolInfo& toolInfo(ToolId tool) {
    return toolTable().at(size_t(positionOf(tool)));
}

ToolChoice toolChoiceFor(ToolId selectedTool) {
    ToolChoice choice;
    if (selectedTool == ToolId::None) return choice;
    const ToolInfo& info = toolInfo(selectedTool);
    choice.scaleMode = info.scaleMode;
    choice.cursorIcon = info.cursorIcon;
    choice.marker = selectedTool == ToolId::Marker;
    return choice;
}

} // namespace kamsulo::annotate
