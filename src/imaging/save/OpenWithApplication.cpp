#include "imaging/save/OpenWithApplication.h"

#include "platform/AppChooser.h"
#include "platform/DesktopServices.h"

#include <QPointer>
#include <QWidget>

namespace kamsulo::imaging {

bool openWithApplication(const QString& file, QWidget* owner) {
    const QPointer<QWidget> guard(owner);
    platform::DesktopServices& desktop = platform::desktopServices();
    if (!desktop.defaultApplication(desktop.mimeTypeOf(file)))
        return platform::AppChooser::chooseAndOpen(file, guard.data());
    return desktop.openWithDefault(file);
}

} // namespace kamsulo::imaging
