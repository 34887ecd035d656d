#pragma once
// What the save dialog needs of the main window.
#include <QImage>

namespace kamsulo::imaging {

class SaveHost {
public:
    virtual ~SaveHost() = default;

    // The picture a save writes: the canvas image, or the banner's image while the
    // banner is still visible (nothing captured or opened yet).
    virtual QImage pictureToSave() const = 0;

    // The program-wide flag: the canvas holds nothing that would be lost.
    virtual bool shotSaved() const = 0;
    virtual void setShotSaved(bool saved) = 0;
};

} // namespace kamsulo::imaging
