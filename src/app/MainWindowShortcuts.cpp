// MainWindow: the keyboard's ways to the buttons and gestures, and pictures dropped
// onto the window.
#include "annotate/forms/PaletteStrip.h"
#include "app/MainWindow.h"
#include "imaging/load/LoadRules.h"

#include <QAbstractButton>
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QUrl>
#include <functional>

namespace kamsulo::app {

namespace {

// The one local file of a drag, when it brings exactly one.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return {};
    return urls.first().toLocalFile();
}

bool isPictureFile(const QString& path) {
    return !path.isEmpty() && imaging::extensionClass(path) != imaging::ExtensionClass::Unsupported;
}

} // namespace

void MainWindow::installShortcuts() {
    // The desktop's own bindings where it has one for the command. A dialog of the
    // program that is modal blocks this window, and with it these.
    const auto add = [this](QKeySequence::StandardKey key, std::function<void()> run) {
        auto* action = new QAction(this);
        action->setShortcuts(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, std::move(run));
        addAction(action);
    };
    add(QKeySequence::Copy, [this] { onButton(MainButton::Clipboard); });
    add(QKeySequence::Paste, [this] { pasteFromClipboard(); });
    add(QKeySequence::Save, [this] { onButton(MainButton::Save); });
    add(QKeySequence::Open, [this] { onButton(MainButton::Open); });
    add(QKeySequence::Undo, [this] { paletteStrip_->undoButton()->click(); });
    add(QKeySequence::Quit, [this] { close(); });
    add(QKeySequence::HelpContents, [this] { onButton(MainButton::Info); });
    setAcceptDrops(true);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
    // A picture file or picture data; anything else is refused by the drag cursor.
    const QMimeData* data = e->mimeData();
    const QString file = droppedFile(data);
    if (file.isEmpty() ? data->hasImage() : isPictureFile(file))
        e->acceptProposedAction();
    else
        e->ignore();
}

void MainWindow::dropEvent(QDropEvent* e) {
    const QString file = droppedFile(e->mimeData());
    if (isPictureFile(file)) {
        e->acceptProposedAction();
        // As Open does once its file dialog has given the name.
        if (!askToSaveFirst()) openFile(file);
    } else if (file.isEmpty() && e->mimeData()->hasImage()) {
        e->acceptProposedAction();
        pasteFrom(e->mimeData(), e->source() ? DataOrigin::ThisProgram : DataOrigin::OtherProgram);
    } else {
        e->ignore();
    }
}

} // namespace kamsulo::app
