#pragma once
#include <QImage>
#include <cstdint>

namespace kamsulo::capture {

// What a capture needs of the main window: the picture becomes the canvas picture,
// and the canvas image is copied into the unmarked copy and the five undo slots.
class CaptureHost {
public:
    virtual ~CaptureHost() = default;
    virtual void handOverCapture(const QImage& picture) = 0;
    // The main window's id on the display (platform::WindowId), 0 while it has none.
    virtual std::uint64_t hostWindow() const { return 0; }
};

} // namespace kamsulo::capture
