#include "imaging/save/OpenFileWithProg.h"

#include "platform/AppChooser.h"
#include "platform/DesktopServices.h"

#include <QPointer>
#include <QWidget>

namespace kamsulo::imaging {

bool OpenFileWithProg(const QString& strFile, QWidget* owner) {
    const QPointer<QWidget> guard(owner);
    platform::DesktopServices& desktop = platform::desktopServices();
    if (!desktop.defaultApplication(desktop.mimeTypeOf(strFile)))
        return platform::AppChooser::chooseAndOpen(strFile, guard.data());
    return desktop.openWithDefault(strFile);
}

} // namespace kamsulo::imaging
