#pragma once
// Drives Qt's own file dialog as a user would: types a name into the file-name
// field and presses the accept button, or presses "Abbrechen".
#include "support/modal.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <functional>

namespace kamsulo::test {

inline QFileDialog* asFileDialog(QWidget* w) {
    return qobject_cast<QFileDialog*>(w);
}

inline QLineEdit* fileNameEdit(QFileDialog* dlg) {
    return dlg ? dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
}

// Types `name` (a name or a full path) and presses "Speichern"/"Öffnen".
inline bool typeAndAccept(QWidget* w, const QString& name) {
    QFileDialog* dlg = asFileDialog(w);
    QLineEdit* edit = fileNameEdit(dlg);
    auto* box = dlg ? dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")) : nullptr;
    if (!edit || !box) return false;
    edit->setText(name);
    QPushButton* accept =
        box->button(dlg->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                 : QDialogButtonBox::Open);
    if (!accept || !accept->isEnabled()) return false;
    accept->click();
    return true;
}

// Like whenModal, but waits for a modal widget of type T (a message box on top of
// a file dialog, say).
template <typename T> void whenModalOf(std::function<void(T*)> action, int timeoutMs = 10000) {
    whenModal([action](QWidget* w) { action(qobject_cast<T*>(w)); }, timeoutMs,
              [](QWidget* w) { return qobject_cast<T*>(w) != nullptr; });
}

inline void whenMessageBox(std::function<void(QMessageBox*)> action, int timeoutMs = 10000) {
    whenModalOf<QMessageBox>(std::move(action), timeoutMs);
}

inline void whenFileDialog(std::function<void(QFileDialog*)> action, int timeoutMs = 10000) {
    whenModalOf<QFileDialog>(std::move(action), timeoutMs);
}

} // namespace kamsulo::test
