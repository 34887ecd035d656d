#pragma once
#include <QImage>

namespace kamsulo::capture {

// What a capture needs of the main window: the picture becomes the canvas picture,
// and the canvas image is copied into the unmarked copy and the five undo slots.
class CaptureHost {
public:
    virtual ~CaptureHost() = default;
    virtual void handOverCapture(const QImage& picture) = 0;
};

} // namespace kamsulo::capture
