// MainWindow: handing the picture on to the paint program.
#include "app/MainWindow.h"
#include "platform/MessageBox.h"

namespace kamsulo::app {

void MainWindow::handToPaintProgram() {
    platform::messageBox(QStringLiteral("Mspaint wurde nicht gefunden !"),
                         platform::BoxStyle::OkInformation, QStringLiteral("Kamsulo - Info"),
                         this);
    updateCanvasToolTip();
}

} // namespace kamsulo::app
