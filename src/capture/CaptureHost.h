#pragma once
#include <QImage>

class QWindow;

namespace kamsulo::capture {

// What a capture needs of the main window: the picture becomes the canvas picture,
// and the canvas image is copied into the unmarked copy and the five undo slots.
class CaptureHost {
public:
    virtual ~CaptureHost() = default;
    virtual void handOverCapture(const QImage& picture) = 0;
    // The main window, which counts as no window when the desktop still names it the
    // one in front; null while it has none.
    virtual const QWindow* hostWindow() const { return nullptr; }
};

} // namespace kamsulo::capture
