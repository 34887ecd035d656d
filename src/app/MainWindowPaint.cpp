// MainWindow: handing the picture on to the paint program.
#include "app/MainWindow.h"
#include "app/PaintProgram.h"
#include "platform/KeyInjector.h"
#include "platform/MessageBox.h"

namespace kamsulo::app {

void MainWindow::handToPaintProgram() {
    // One hand-over at a time: a press while the editor is awaited does nothing.
    if (paintProgram_ && paintProgram_->handingOver()) return;
    paintProgram_ = std::make_unique<PaintProgram>(PaintProgram::buttonEditor());
    PaintProgram& editor = *paintProgram_;
    connect(&editor, &PaintProgram::handedOver, this, &MainWindow::onPaintOutcome);
    // Without a picture there is nothing to paste: the editor opens empty.
    const QImage picture = pictureToSave();
    // Where no keys reach the editor, it opens a file of the picture instead.
    const bool typing = platform::keyInjector().reachesOtherPrograms();
    if (picture.isNull())
        onPaintOutcome(editor.startEmpty());
    else if (typing)
        editor.handOver(); // answers through onPaintOutcome()
    else
        onPaintOutcome(editor.handOverFile(picture, capturedAt_));
}

void MainWindow::onPaintOutcome(PaintProgram::Outcome outcome) {
    const QString title = QStringLiteral("Kamsulo - Info");
    const auto note = [&](const char* text) {
        platform::messageBox(QString::fromUtf8(text), platform::BoxStyle::OkInformation, title,
                             this);
    };
    switch (outcome) {
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

bool MainWindow::handingToPaintProgram() const {
    return paintProgram_ && paintProgram_->handingOver();
}

} // namespace kamsulo::app
