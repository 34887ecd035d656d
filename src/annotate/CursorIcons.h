#pragma once
// The canvas's pointer images, by the index of their hidden label: 0 "marker2",
// 1 "hand", 2 "eraser", 3 "freihand", 4 "text", 5 "pip".
#include <QCursor>

namespace kamsulo::annotate {

// The cursor for an icon index; the "hand" for an unknown index.
QCursor cursorForIcon(int index);

} // namespace kamsulo::annotate
