#pragma once
// What the add-text dialog needs of the main window.
#include <QString>
#include <QtGlobal>

namespace kamsulo::annotate {

class CanvasTarget;

class TextDialogHost {
public:
    virtual ~TextDialogHost() = default;
    virtual CanvasTarget& canvasTarget() = 0;
    // The last canvas press, in canvas units, as text.
    virtual QString textPosX() const = 0;
    virtual QString textPosY() const = 0;
    virtual void setMarkingsDrawn() = 0;
    virtual void setSkipCentering() = 0;
    virtual void focusMainWindow() = 0;
};

} // namespace kamsulo::annotate
