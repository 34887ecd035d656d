#pragma once
// The file dialogs: an open flavour and a save flavour over one implementation,
// Qt's own file dialog (German through the program's translations).
#include <QString>

class QWidget;

namespace kamsulo::imaging {

class FileDialogs {
public:
    enum class Mode { Open, Save };

    // Shows the dialog modally, owned by `owner`, with `title`, starting in `folder`
    // (empty: the dialog chooses), with `defaultName` proposed (at most 255
    // characters) and the name filters of `filter` ("description|pattern" pairs, the
    // first one selected); `defaultExt` gives the suffix added to a typed name
    // without one. The save flavour asks before overwriting and wants the folder to
    // exist; the open flavour accepts only existing files.
    // Returns the chosen file's name without its folder, and sets `folder` to the
    // file's folder with a trailing "/". Cancelling returns "" and leaves `folder`.
    static QString show(Mode mode, QWidget* owner, const QString& title, QString& folder,
                        const QString& defaultName, const QString& filter,
                        const QString& defaultExt);

    static QString open(QWidget* owner, const QString& title, QString& folder,
                        const QString& defaultName, const QString& filter,
                        const QString& defaultExt) {
        return show(Mode::Open, owner, title, folder, defaultName, filter, defaultExt);
    }
    static QString save(QWidget* owner, const QString& title, QString& folder,
                        const QString& defaultName, const QString& filter,
                        const QString& defaultExt) {
        return show(Mode::Save, owner, title, folder, defaultName, filter, defaultExt);
    }

    FileDialogs() = delete;
};

} // namespace kamsulo::imaging
