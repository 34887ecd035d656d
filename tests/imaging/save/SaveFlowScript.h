#pragma once
// Plays the user's part in a save: answers the file dialog and then the message
// boxes that follow, in order, and records what they showed.
#include "FileDialogDriver.h"
#include "imaging/save/SaveDialog.h"

#include <QMessageBox>
#include <QStringList>
#include <memory>

namespace kamsulo::test {

struct SeenBox {
    QString title;
    QString text;
    Qt::CursorShape dialogCursor = Qt::ArrowCursor; // the save dialog's pointer meanwhile
};

struct SaveFlowSeen {
    bool dialogShown = false;
    QString dialogTitle;
    QString dialogDirectory;
    QString proposedName;
    QStringList filters;
    QList<SeenBox> boxes;
};

// Presses `answers[i]` on the i-th message box from now on; a box without such a
// button is closed all the same, so that a wrong box cannot hang the test.
inline void answerBoxes(std::shared_ptr<SaveFlowSeen> seen, QStringList answers) {
    if (answers.isEmpty()) return;
    whenMessageBox([seen, answers](QMessageBox* box) mutable {
        seen->boxes << SeenBox{box->windowTitle(), box->text(),
                               imaging::SaveDialog::hasInstance()
                                   ? imaging::SaveDialog::instance().cursor().shape()
                                   : Qt::ArrowCursor};
        const QString answer = answers.takeFirst();
        answerBoxes(seen, answers);
        if (!pressButton(box, answer)) box->done(0);
    });
}

// `name` empty: cancel the file dialog. Otherwise type it and accept, then answer
// the boxes.
inline std::shared_ptr<SaveFlowSeen> scriptSave(const QString& name,
                                                const QStringList& boxAnswers = {}) {
    auto seen = std::make_shared<SaveFlowSeen>();
    whenFileDialog([seen, name, boxAnswers](QFileDialog* dlg) {
        seen->dialogShown = true;
        seen->dialogTitle = dlg->windowTitle();
        seen->dialogDirectory = dlg->directory().absolutePath();
        seen->proposedName = fileNameEdit(dlg) ? fileNameEdit(dlg)->text() : QString();
        seen->filters = dlg->nameFilters();
        if (name.isEmpty()) {
            pressButton(dlg, QStringLiteral("Abbrechen"));
            return;
        }
        answerBoxes(seen, boxAnswers);
        if (!typeAndAccept(dlg, name)) dlg->reject();
    });
    return seen;
}

} // namespace kamsulo::test
