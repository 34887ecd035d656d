#pragma once
// Qt's file dialog, except that a typed name with double quotes in it stays one
// name. Qt reads quotes as the separators of several names, so that
// Bild "Max".png would become Max.png, in whatever folder the dialog shows.
#include <QFileDialog>

namespace kamsulo::imaging {

class WholeNameFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The chosen file's path: the whole typed name where it held a quote, else
    // what Qt's dialog chose. Empty when nothing was chosen.
    QString chosenPath() const;

protected:
    void accept() override;

private:
    bool acceptWholeName(const QString& typed);

    QString wholeNamePath_;
};

} // namespace kamsulo::imaging
