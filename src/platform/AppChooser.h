#pragma once
// The small "Öffnen mit" dialog offered when no application is associated with a
// file's type: the installed applications for the type, and a way to pick any
// program.
#include "platform/DesktopServices.h"

#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;

namespace kamsulo::platform {

class AppChooser : public QDialog {
    Q_OBJECT
public:
    AppChooser(const QString& file, const QList<DesktopApp>& apps, QWidget* owner = nullptr);

    // What the user picked once the dialog was accepted: an application from the
    // list, or else a program chosen with "Anderes Programm...".
    std::optional<DesktopApp> chosenApp() const;
    QString chosenProgram() const { return program_; }

    // Shows the chooser for `file` (modal, owned by `owner` when given) and opens
    // the file with the pick. True when a program was started.
    static bool chooseAndOpen(const QString& file, QWidget* owner);

private:
    void pickProgram();
    void updateOk();

    QList<DesktopApp> apps_;
    QString program_;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace kamsulo::platform
