#include "imaging/save/WholeNameFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>

namespace kamsulo::imaging {

QString WholeNameFileDialog::chosenPath() const {
    if (!wholeNamePath_.isEmpty()) return wholeNamePath_;
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void WholeNameFileDialog::accept() {
    wholeNamePath_.clear();
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = edit ? edit->text() : QString();
    // One name in quotes, as Qt writes a chosen name, is left to Qt.
    static const QRegularExpression quotedOnce(QStringLiteral("^\"[^\"]*\"$"));
    if (typed.contains(u'"') && !quotedOnce.match(typed).hasMatch() && acceptWholeName(typed))
        return;
    QFileDialog::accept();
}

// Accepts `typed` as one name the way Qt's dialog accepts a name: a folder is
// entered, a missing suffix is added, and an existing file is replaced only when
// the user agrees (asked in Qt's own words). True when the name was dealt with.
bool WholeNameFileDialog::acceptWholeName(const QString& typed) {
    QString path = QDir(directory()).absoluteFilePath(typed);
    const QFileInfo info(path);
    if (info.isDir()) {
        setDirectory(path);
        return true;
    }
    if (acceptMode() == AcceptOpen) {
        if (!info.isFile()) {
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1\nFile not found.\nPlease verify the "
                                                 "correct file name was given.")
                                     .arg(typed));
            return true;
        }
    } else {
        if (info.suffix().isEmpty() && !defaultSuffix().isEmpty())
            path += QLatin1Char('.') + defaultSuffix();
        if (QFileInfo::exists(path) &&
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                     .arg(QFileInfo(path).fileName()),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) != QMessageBox::Yes)
            return true;
    }
    wholeNamePath_ = path;
    QDialog::accept();
    return true;
}

} // namespace kamsulo::imaging
