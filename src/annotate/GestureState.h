#pragma once
// What a mouse gesture on the canvas keeps between press, move and release.
#include <QtGlobal>

namespace kamsulo::annotate {

struct GestureState {
    // Rectangle tools: press point and latest pointer position, canvas units.
    double rectX1 = 0, rectY1 = 0, rectX2 = 0, rectY2 = 0;
    // Line, oval and arrows: press point rounded; (0, 0) means unset.
    int lineStartX = 0, lineStartY = 0;
    // The colour the rectangle tools draw with, 0x00BBGGRR.
    quint32 drawColor = 0;
    // Pan: press point (pixels), computed offset and how far the picture may move.
    double panPressX = 0, panPressY = 0;
    int panLeft = 0, panTop = 0;
    int panRangeX = 0, panRangeY = 0;
};

} // namespace kamsulo::annotate
