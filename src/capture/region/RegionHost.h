#pragma once
// What the region overlay needs of the main window. MainWindow implements it; the
// overlay calls it only from its mouse-up handler, in this order:
//   clearCanvasPicture()            always
//   handOverPicture(crop)           only when the drag was large enough
//   showMainWindowNormal(), resetScrollBars(), updateCanvasToolTip()   always
// All calls run on the GUI thread while the overlay is still on screen. When the
// desktop refuses the copy, the overlay never opens: refused(reason), then
// showMainWindowNormal().
#include "platform/MessageBox.h"

#include <QImage>
#include <QString>

namespace kamsulo::capture {

class RegionHost {
public:
    virtual ~RegionHost() = default;

    // The canvas and its unmarked copy are left without a picture. The five undo
    // slots keep what they hold.
    virtual void clearCanvasPicture() = 0;

    // A new picture of exactly picture.size() pixels: the canvas takes that size and
    // shows it, and the unmarked copy and the five undo slots each get a copy.
    virtual void handOverPicture(const QImage& picture) = 0;

    // Window state normal and visible again after the capture.
    virtual void showMainWindowNormal() = 0;
    // Lays the viewport out for the new canvas size.
    virtual void resetScrollBars() = 0;
    // Canvas tooltip for the current tool.
    virtual void updateCanvasToolTip() = 0;
    // The desktop refused its picture, for this reason (German, for the user); called
    // before showMainWindowNormal(). The message box has said so already.
    virtual void setCaptureFailure(const QString& reason) { Q_UNUSED(reason); }

    // The desktop refused the copy, for `reason` (German): a message box says so.
    virtual void refused(const QString& reason) {
        platform::messageBox(reason, platform::BoxStyle::OkExclamation);
    }
};

} // namespace kamsulo::capture
