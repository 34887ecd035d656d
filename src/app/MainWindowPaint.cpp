// MainWindow: handing the picture on to the paint program.
#include "app/MainWindow.h"
#include "app/PaintProgram.h"
#include "platform/MessageBox.h"

namespace kamsulo::app {

void MainWindow::handToPaintProgram() {
    const QString title = QStringLiteral("Kamsulo - Info");
    switch (PaintProgram(PaintProgram::buttonEditor()).handOver()) {
    case PaintProgram::Outcome::Handed:
        return;
    case PaintProgram::Outcome::NotFound:
        platform::messageBox(QStringLiteral("Mspaint wurde nicht gefunden !"),
                             platform::BoxStyle::OkInformation, title, this);
        break;
    case PaintProgram::Outcome::NoWindow:
        platform::messageBox(QStringLiteral("Das Malprogramm hat sich nicht rechtzeitig "
                                            "gemeldet. Das Bild liegt in der Zwischenablage."),
                             platform::BoxStyle::OkInformation, title, this);
        break;
    }
    updateCanvasToolTip();
}

} // namespace kamsulo::app
