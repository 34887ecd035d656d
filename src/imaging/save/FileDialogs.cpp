#include "imaging/save/FileDialogs.h"

#include "imaging/save/FileFilter.h"
#include "imaging/save/SaveFormats.h"
#include "imaging/save/WholeNameFileDialog.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFileInfo>

namespace kamsulo::imaging {

namespace {
constexpr int maxFileName = 255;
}

QString FileDialogs::show(Mode mode, QWidget* owner, const QString& title, QString& folder,
                          const QString& defaultName, const QString& filter,
                          const QString& defaultExt) {
    const bool save = mode == Mode::Save;
    WholeNameFileDialog dlg(owner, title);
    dlg.setObjectName(save ? QStringLiteral("saveFileDialog") : QStringLiteral("openFileDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!folder.isEmpty()) dlg.setDirectory(folder);
    const QStringList filters = fileDialogFilters(filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters.first());
    }
    dlg.setDefaultSuffix(defaultSuffix(defaultExt));
    if (!defaultName.isEmpty()) dlg.selectFile(defaultName.left(maxFileName));

    for (;;) {
        if (dlg.exec() != QDialog::Accepted) return {};
        const QString path = dlg.chosenPath();
        if (path.isEmpty()) return {};
        const QFileInfo chosen(path);
        // The dialog itself lets a save name in a missing folder through.
        if (!QFileInfo(chosen.absolutePath()).isDir()) {
            platform::messageBox(QStringLiteral("Der Ordner \"%1\" existiert nicht.\n"
                                                "Bitte überprüfen Sie den Pfad.")
                                     .arg(QDir::toNativeSeparators(chosen.absolutePath())),
                                 platform::BoxStyle::OkExclamation, title, &dlg);
            continue;
        }
        if (!save && !chosen.isFile()) continue;
        folder = withTrailingSlash(chosen.absolutePath());
        return chosen.fileName();
    }
}

} // namespace kamsulo::imaging
