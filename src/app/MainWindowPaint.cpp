// MainWindow: handing the picture on to the paint program.
#include "app/MainWindow.h"
#include "app/PaintProgram.h"
#include "platform/KeyInjector.h"
#include "platform/MessageBox.h"

namespace kamsulo::app {

void MainWindow::handToPaintProgram() {
    const QString title = QStringLiteral("Kamsulo - Info");
    PaintProgram editor(PaintProgram::buttonEditor());
    // Without a picture there is nothing to paste: the editor opens empty.
    const QImage picture = pictureToSave();
    // Where no keys reach the editor, it opens a file of the picture instead.
    const bool typing = platform::keyInjector().reachesOtherPrograms();
    const auto note = [&](const char* text) {
        platform::messageBox(QString::fromUtf8(text), platform::BoxStyle::OkInformation, title,
                             this);
    };
    switch (picture.isNull() ? editor.startEmpty()
            : typing         ? editor.handOver()
                             : editor.handOverFile(picture, capturedAt_)) {
    case PaintProgram::Outcome::Handed:
        return;
    case PaintProgram::Outcome::NotFound:
        note("Mspaint wurde nicht gefunden !");
        break;
    case PaintProgram::Outcome::NoWindow:
        note("Das Malprogramm hat sich nicht rechtzeitig gemeldet. Das Bild liegt in der "
             "Zwischenablage.");
        break;
    case PaintProgram::Outcome::Ended:
        note("Das Malprogramm hat sich beendet, bevor es ein Fenster zeigte. Das Bild liegt in "
             "der Zwischenablage.");
        break;
    }
    updateCanvasToolTip();
}

} // namespace kamsulo::app
