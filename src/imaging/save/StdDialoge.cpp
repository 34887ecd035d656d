#include "imaging/save/StdDialoge.h"

#include "imaging/save/FileFilter.h"
#include "platform/MsgBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kamsulo::imaging {

namespace {
constexpr int maxFileName = 255;
}

QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
}

QString FileDialog(QWidget* owner, const QString& title, QString& folder,
                   const QString& defaultName, const QString& filter, const QString& defaultExt,
                   int mode) {
    const bool save = mode == SaveMode;
    QFileDialog dlg(owner, title);
    dlg.setObjectName(save ? QStringLiteral("SaveFileDialog") : QStringLiteral("OpenFileDialog"));
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
        const QStringList files = dlg.selectedFiles();
        if (files.isEmpty()) return {};
        const QFileInfo chosen(files.first());
        // The dialog itself lets a save name in a missing folder through.
        if (!QFileInfo(chosen.absolutePath()).isDir()) {
            platform::MsgBox(QStringLiteral("Der Ordner \"%1\" existiert nicht.\n"
                                            "Bitte überprüfen Sie den Pfad.")
                                 .arg(QDir::toNativeSeparators(chosen.absolutePath())),
                             48, title, &dlg);
            continue;
        }
        if (!save && !chosen.isFile()) continue;
        folder = withTrailingSlash(chosen.absolutePath());
        return chosen.fileName();
    }
}

QString OpenFileDialog(QWidget* owner, const QString& title, QString& folder,
                       const QString& defaultName, const QString& filter,
                       const QString& defaultExt) {
    return FileDialog(owner, title, folder, defaultName, filter, defaultExt, OpenMode);
}

QString SaveFileDialog(QWidget* owner, const QString& title, QString& folder,
                       const QString& defaultName, const QString& filter,
                       const QString& defaultExt) {
    return FileDialog(owner, title, folder, defaultName, filter, defaultExt, SaveMode);
}

} // namespace kamsulo::imaging
