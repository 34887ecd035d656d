#pragma once
// How large a picture of the whole desktop can be: the bound that a compositor's
// answer is checked against before anything is read or allocated for it.
#include <QSize>

namespace kamsulo::platform {

// The outputs' bounding box at the largest scale among them, twice over each way for
// what scales round to and what a compositor adds (a window's shadow, a window that
// reaches beyond the outputs).
QSize largestDesktopPicture();

} // namespace kamsulo::platform
